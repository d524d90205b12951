#include "dialogs/DateFilterDlg.h"

#include "platform/base/CTime.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/dialog/DataExchange.h"
#include "platform/gui/dialog/DialogControls.h"
#include "res/resource.h"

namespace {
constexpr const char* kSection = "Specify Date";

void SetRange(CDialog* dlg, int id, int lower, int upper) {
    dlg->SendDlgItemMessage(id, UDM_SETRANGE, 0,
                            MAKELPARAM(static_cast<WORD>(upper), static_cast<WORD>(lower)));
}
}  // namespace

BEGIN_MESSAGE_MAP(CSpecifyDateDlg, CDialog)
ON_BN_CLICKED(IDC_CURRENT_DATE, OnCurrentDate)
END_MESSAGE_MAP()

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

void CSpecifyDateDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_YEAR, m_nYear);
    DDX_Text(pDX, IDC_MONTH, m_nMonth);
    DDX_Text(pDX, IDC_DAY, m_nDay);
    DDX_Check(pDX, IDC_TARGET_REGIST_DATE, m_bRegistDate);
    DDX_Check(pDX, IDC_TARGET_UPDATE_DATE, m_bUpdateDate);
    DDX_Radio(pDX, IDC_ON_OR_BEFORE, m_nMethod);
}

BOOL CSpecifyDateDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The ranges only govern the arrows; typed numbers are taken as they are.
    SetRange(this, IDC_YEAR_SPIN, 1970, 2038);
    SetRange(this, IDC_MONTH_SPIN, 1, 12);
    SetRange(this, IDC_DAY_SPIN, 1, 31);
    return TRUE;
}

void CSpecifyDateDlg::OnCurrentDate() {
    // Only the edits change; the members follow at the next exchange.
    const CTime now = CTime::GetCurrentTime();
    SetDlgItemInt(IDC_YEAR, static_cast<UINT>(now.GetYear()));
    SetDlgItemInt(IDC_MONTH, static_cast<UINT>(now.GetMonth()));
    SetDlgItemInt(IDC_DAY, static_cast<UINT>(now.GetDay()));
    GotoDlgCtrl(GetDlgItem(IDC_YEAR));
}

void CSpecifyDateDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (!m_bRegistDate && !m_bUpdateDate) {
        AfxMessageBox(IDS_NO_DATE_TARGET, MB_OK);
        return;
    }
    m_bEnable = TRUE;
    MakeDateText();
    EndDialog(IDOK);
}
