// The small dialog in which one ID that is never to be picked up is typed; OK takes only a
// valid ID and gives it in upper case.
#pragma once

#include "platform/base/CString.h"
#include "platform/gui/dialog/CDialog.h"
#include "res/resource.h"

class CNoPickupIDDlg : public CDialog {
public:
    enum { IDD = IDD_NO_PICKUP_ID };
    explicit CNoPickupIDDlg(CWnd* pParent = nullptr);
    void OnOK() override;

    CString m_strID;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
