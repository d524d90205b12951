// Registers new IDs one after the other without closing: the picked-up IDs that no live record
// has are offered in the ID list, each with the handles seen with it.
#pragma once

#include "platform/base/CString.h"
#include "platform/gui/dialog/CDialog.h"
#include "res/resource.h"

class CVelkonDoc;

class CRegistIDDlg : public CDialog {
public:
    enum { IDD = IDD_REGIST_ID };

    explicit CRegistIDDlg(CVelkonDoc* pDoc, CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    // Registers without ending the dialog.
    void OnOK() override;

    CString m_strNewID;
    CString m_strNewHandle;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSelChangeNewID();
    void FillIDList();
    void FillHandleList();
    DECLARE_MESSAGE_MAP()

private:
    // The pickup number of entry i of the ID list, checked against the store: the pickup list
    // may have been emptied and refilled while the dialog is open. -1 when the ID is no longer
    // picked up.
    int PickupOfEntry(int i) const;

    CVelkonDoc* m_pDoc;
};
