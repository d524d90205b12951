#include "dialogs/KeywordFilterDlg.h"

#include "platform/CWinApp.h"

namespace {
constexpr const char* kSection = "Specify Keyword";
}

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
