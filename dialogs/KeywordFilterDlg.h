// The keyword filter: its settings, kept for the life of the list view and in the profile.
// The keyword itself comes back from the top of the keyword history when the filter was on.
#pragma once

#include "platform/CDialog.h"
#include "platform/CString.h"

class CSpecifyKeywordDlg : public CDialog {
public:
    enum { IDD = 2400 };
    static constexpr int kMaxHistory = 20;

    explicit CSpecifyKeywordDlg(CWnd* pParent = nullptr);
    ~CSpecifyKeywordDlg() override;

    CString m_strKeyword;
    BOOL m_bCase;
    BOOL m_bID;
    BOOL m_bHandle;
    BOOL m_bMemo1;
    BOOL m_bMemo2;
    BOOL m_bMemo3;
    BOOL m_bMemo4;
    BOOL m_bMemo5;
    BOOL m_bMemo6;
    BOOL m_bEnable;
};
