// The date filter: its settings, kept for the life of the list view and in the profile, and the
// dialog that edits them, shown on this same object. The dialog opens with the date last
// accepted (or loaded), not with today.
#pragma once

#include "platform/base/CString.h"
#include "platform/gui/dialog/CDialog.h"
#include "res/resource.h"

class CSpecifyDateDlg : public CDialog {
public:
    enum { IDD = IDD_SPECIFY_DATE };
    enum Method { OnOrBefore = 0, OnTheDay = 1, OnOrAfter = 2 };

    // Reads the settings; year, month and day default to today.
    explicit CSpecifyDateDlg(CWnd* pParent = nullptr);
    // Writes the settings back.
    ~CSpecifyDateDlg() override;

    // m_strDate from year, month and day: "%04d/%02d/%02d".
    void MakeDateText();

    BOOL OnInitDialog() override;
    // Accepts only with a target ticked; the filter is on then.
    void OnOK() override;

    int m_nYear;
    int m_nMonth;
    int m_nDay;
    BOOL m_bRegistDate;
    BOOL m_bUpdateDate;
    int m_nMethod;
    BOOL m_bEnable;
    CString m_strDate;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnCurrentDate();
    DECLARE_MESSAGE_MAP()
};
