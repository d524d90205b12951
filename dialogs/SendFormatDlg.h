// The helper-format chooser: lists the helper formats filled in with one record, and gives the
// chosen one with its backslash escapes turned into control characters, for the clipboard or the
// terminal. Percent codes are filled in when the dialog opens, escapes at OK, so backslashes
// that come from the record's own fields are escapes too.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/CStringArray.h"
#include "platform/gui/dialog/CDialog.h"
#include "res/resource.h"

class CSendFormatDlg : public CDialog {
public:
    enum { IDD = IDD_SEND_FORMAT };

    explicit CSendFormatDlg(CWnd* pParent = nullptr);

    // Fills in the percent codes with record m_nRecord of the main frame's active document.
    CString ExpandFormat(const CString& strFormat) const;
    // Turns the backslash escapes into the characters they stand for.
    static CString ExpandEscapes(const CString& strText);

    BOOL OnInitDialog() override;
    void OnOK() override;

    // TRUE: the text goes to the terminal; FALSE: to the clipboard (the title says so).
    BOOL m_bSend = TRUE;
    int m_nRecord = -1;
    // The formats to offer, in order; the main frame's helper formats, set by the caller.
    const CStringArray* m_pastrFormat = nullptr;
    CString m_strResult;

protected:
    void OnDblclkList();
    DECLARE_MESSAGE_MAP()
};
