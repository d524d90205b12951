#include "dialogs/DateFilterDlg.h"

#include "platform/CTime.h"
#include "platform/CWinApp.h"

namespace {
constexpr const char* kSection = "Specify Date";
}

CSpecifyDateDlg::CSpecifyDateDlg(CWnd* pParent) : CDialog(IDD, pParent) {
    const CTime now = CTime::GetCurrentTime();
    CWinApp* app = AfxGetApp();
    auto read = [app](const char* key, int fallback) {
        return app ? static_cast<int>(app->GetProfileInt(kSection, key, fallback)) : fallback;
    };
    m_nYear = read("Year", now.GetYear());
    m_nMonth = read("Month", now.GetMonth());
    m_nDay = read("Day", now.GetDay());
    m_bRegistDate = read("Regist Date", 0);
    m_bUpdateDate = read("Update Date", 0);
    m_nMethod = read("Method", 0);
    m_bEnable = read("Enable", 0);
    MakeDateText();
}

CSpecifyDateDlg::~CSpecifyDateDlg() {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    app->WriteProfileInt(kSection, "Year", m_nYear);
    app->WriteProfileInt(kSection, "Month", m_nMonth);
    app->WriteProfileInt(kSection, "Day", m_nDay);
    app->WriteProfileInt(kSection, "Regist Date", m_bRegistDate);
    app->WriteProfileInt(kSection, "Update Date", m_bUpdateDate);
    app->WriteProfileInt(kSection, "Method", m_nMethod);
    app->WriteProfileInt(kSection, "Enable", m_bEnable);
}

void CSpecifyDateDlg::MakeDateText() {
    m_strDate.Format("%04d/%02d/%02d", m_nYear, m_nMonth, m_nDay);
}
