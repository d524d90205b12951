// The keyword filter: its settings, kept for the life of the list view and in the profile, and
// the dialog that edits them, shown on this same object. The keyword itself comes back from the
// top of the keyword history when the filter was on; the dialog keeps that history, the latest
// keyword first, and always opens with an empty keyword.
#pragma once

#include "platform/base/CString.h"
#include "platform/gui/dialog/CDialog.h"
#include "res/resource.h"

class CSpecifyKeywordDlg : public CDialog {
public:
    enum { IDD = IDD_SPECIFY_KEYWORD };
    static constexpr int kMaxHistory = 20;

    explicit CSpecifyKeywordDlg(CWnd* pParent = nullptr);
    ~CSpecifyKeywordDlg() override;

    BOOL OnInitDialog() override;
    // An empty keyword cancels; otherwise accepts only with a target ticked, and puts a new
    // keyword at the top of the history.
    void OnOK() override;

    // The captions of the list's data columns (handle and memos at 1..7), which name the targets;
    // set by the list view that owns this object.
    const char (*m_pszCaption)[256] = nullptr;

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

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
