#include "dialogs/KeywordFilterDlg.h"

#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/dialog/DataExchange.h"
#include "platform/gui/dialog/DialogControls.h"
#include "res/resource.h"

namespace {
constexpr const char* kSection = "Specify Keyword";
constexpr int kTargets = 8;  // ID, then handle and memo 1..6
static_assert(IDC_TARGET_MEMO6 - IDC_TARGET_ID == kTargets - 1);

CString EntryText(const CDialog* dlg, int i) {
    const LRESULT length =
        dlg->SendDlgItemMessage(IDC_KEYWORD, CB_GETLBTEXTLEN, static_cast<WPARAM>(i));
    if (length < 0) return {};
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    dlg->SendDlgItemMessage(IDC_KEYWORD, CB_GETLBTEXT, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(length));
    return CString(std::move(buffer));
}
}  // namespace

BEGIN_MESSAGE_MAP(CSpecifyKeywordDlg, CDialog)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CSpecifyKeywordDlg::CSpecifyKeywordDlg(CWnd* pParent) : CDialog(IDD, pParent) {
    CWinApp* app = AfxGetApp();
    auto read = [app](const char* key) {
        return app ? static_cast<BOOL>(app->GetProfileInt(kSection, key, 0)) : FALSE;
    };
    m_bCase = read("Case");
    m_bID = read("ID");
    m_bHandle = read("Handle");
    m_bMemo1 = read("Memo1");
    m_bMemo2 = read("Memo2");
    m_bMemo3 = read("Memo3");
    m_bMemo4 = read("Memo4");
    m_bMemo5 = read("Memo5");
    m_bMemo6 = read("Memo6");
    m_bEnable = read("Enable");
    if (m_bEnable && app) m_strKeyword = app->GetProfileString(kSection, "History0", "");
}

CSpecifyKeywordDlg::~CSpecifyKeywordDlg() {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    app->WriteProfileInt(kSection, "Case", m_bCase);
    app->WriteProfileInt(kSection, "ID", m_bID);
    app->WriteProfileInt(kSection, "Handle", m_bHandle);
    app->WriteProfileInt(kSection, "Memo1", m_bMemo1);
    app->WriteProfileInt(kSection, "Memo2", m_bMemo2);
    app->WriteProfileInt(kSection, "Memo3", m_bMemo3);
    app->WriteProfileInt(kSection, "Memo4", m_bMemo4);
    app->WriteProfileInt(kSection, "Memo5", m_bMemo5);
    app->WriteProfileInt(kSection, "Memo6", m_bMemo6);
    app->WriteProfileInt(kSection, "Enable", m_bEnable);
}

void CSpecifyKeywordDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_CBString(pDX, IDC_KEYWORD, m_strKeyword);
    DDX_Check(pDX, IDC_MATCH_CASE, m_bCase);
    BOOL* targets[kTargets] = {&m_bID,    &m_bHandle, &m_bMemo1, &m_bMemo2,
                               &m_bMemo3, &m_bMemo4,  &m_bMemo5, &m_bMemo6};
    for (int i = 0; i < kTargets; ++i) DDX_Check(pDX, IDC_TARGET_ID + i, *targets[i]);
}

BOOL CSpecifyKeywordDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The history is read up to the first missing or empty entry, however long it is.
    if (CWinApp* app = AfxGetApp()) {
        for (int i = 0;; ++i) {
            const CString entry =
                app->GetProfileString(kSection, AfxProfileKey("History%d", i), "");
            if (entry.IsEmpty()) break;
            SendDlgItemMessage(IDC_KEYWORD, CB_ADDSTRING, 0,
                               reinterpret_cast<LPARAM>(entry.GetString()));
        }
    }
    // No selection: the keyword field opens empty, the history waits in the list.
    SendDlgItemMessage(IDC_KEYWORD, CB_SETCURSEL, static_cast<WPARAM>(-1));
    if (m_pszCaption)
        for (int i = 1; i < kTargets; ++i) SetDlgItemText(IDC_TARGET_ID + i, m_pszCaption[i]);
    return TRUE;
}

void CSpecifyKeywordDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (m_strKeyword.IsEmpty()) {
        EndDialog(IDCANCEL);
        return;
    }
    bool anyTarget = false;
    for (int i = 0; i < kTargets; ++i)
        if (IsDlgButtonChecked(IDC_TARGET_ID + i)) anyTarget = true;
    if (!anyTarget) {
        AfxMessageBox(IDS_NO_KEYWORD_TARGET, MB_OK);
        return;
    }
    m_bEnable = TRUE;
    // A keyword already in the history stays where it is; only the exact same text counts.
    const int count = static_cast<int>(SendDlgItemMessage(IDC_KEYWORD, CB_GETCOUNT));
    for (int i = 0; i < count; ++i) {
        if (EntryText(this, i) == m_strKeyword) {
            EndDialog(IDOK);
            return;
        }
    }
    SendDlgItemMessage(IDC_KEYWORD, CB_INSERTSTRING, 0,
                       reinterpret_cast<LPARAM>(m_strKeyword.GetString()));
    if (count + 1 > kMaxHistory)
        SendDlgItemMessage(IDC_KEYWORD, CB_DELETESTRING, static_cast<WPARAM>(count));
    EndDialog(IDOK);
}

void CSpecifyKeywordDlg::OnDestroy() {
    // Written after OK and Cancel alike; entries beyond those written stay as they were.
    if (CWinApp* app = AfxGetApp()) {
        const int count = static_cast<int>(SendDlgItemMessage(IDC_KEYWORD, CB_GETCOUNT));
        for (int i = 0; i < count && i < kMaxHistory; ++i)
            app->WriteProfileString(kSection, AfxProfileKey("History%d", i), EntryText(this, i));
    }
    CDialog::OnDestroy();
}
