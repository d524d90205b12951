#include "dialogs/PersonalDataDlg.h"

#include "document/VelkonDoc.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/dialog/DataExchange.h"
#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/frame/CFrameWnd.h"
#include "platform/gui/window/SystemMetrics.h"
#include "res/resource.h"

namespace {
constexpr int kFields = 7;  // handle, then memo 1..6
static_assert(std::tuple_size_v<CPersonalDataDlg::Captions> == kFields);
static_assert(IDC_LABEL_MEMO6 - IDC_LABEL_HANDLE == kFields - 1);
static_assert(IDC_MEMO6 - IDC_HANDLE == kFields - 1);
constexpr int kMaxText = 255;
}  // namespace

int CPersonalDataDlg::s_nCascadeX = -1;
int CPersonalDataDlg::s_nCascadeY = -1;

CPersonalDataDlg::CPersonalDataDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

CPersonalDataDlg* CPersonalDataDlg::Open(int nRecord, const char (*pszCaption)[256]) {
    if (!pszCaption) return Open(nRecord, std::nullopt);
    Captions captions;
    for (int i = 0; i < kFields; ++i)
        captions[static_cast<std::size_t>(i)] = CString(pszCaption[1 + i]);
    return Open(nRecord, std::optional<Captions>(std::move(captions)));
}

CPersonalDataDlg* CPersonalDataDlg::Open(int nRecord, const Captions& captions) {
    return Open(nRecord, std::optional<Captions>(captions));
}

CPersonalDataDlg* CPersonalDataDlg::Open(int nRecord, std::optional<Captions> captions) {
    const CVelkonDoc* doc = CVelkonDoc::GetActive();
    if (!doc || nRecord < 0 || nRecord >= doc->GetRecordCount()) return nullptr;
    auto* dlg = new CPersonalDataDlg;
    dlg->m_nRecord = nRecord;
    dlg->m_captions = std::move(captions);
    // A window that goes while it is made frees the object itself; one never made does not.
    bool gone = false;
    dlg->m_pbGone = &gone;
    const BOOL created = dlg->Create(IDD);
    if (gone) return nullptr;
    dlg->m_pbGone = nullptr;
    if (!created) {
        if (dlg->GetSafeHwnd())
            dlg->DestroyWindow();
        else
            delete dlg;
        return nullptr;
    }
    return dlg;
}

void CPersonalDataDlg::DoDataExchange(CDataExchange* pDX) {
    CString* fields[kFields] = {&m_strHandle, &m_strMemo1, &m_strMemo2, &m_strMemo3,
                                &m_strMemo4,  &m_strMemo5, &m_strMemo6};
    for (int i = 0; i < kFields; ++i) DDX_Text(pDX, IDC_HANDLE + i, *fields[i]);
}

BOOL CPersonalDataDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const CVelkonDoc* doc = CVelkonDoc::GetActive();
    const int r = m_nRecord;
    const bool valid = doc && r >= 0 && r < doc->GetRecordCount();
    if (valid) m_strID = doc->m_astrID[r];

    SetWindowText(m_strID + GetWindowText());
    for (int i = 0; i < kFields; ++i) {
        const CString caption = m_captions
                                    ? (*m_captions)[static_cast<std::size_t>(i)]
                                    : AfxLoadString(IDS_CAPTION_HANDLE + static_cast<UINT>(i));
        SetDlgItemText(IDC_LABEL_HANDLE + i, caption + " :");
    }
    if (valid) {
        CString count;
        count.Format("%u", static_cast<unsigned>(doc->m_anUpdateCount[r]));
        SetDlgItemText(IDC_UPDATE_COUNT, count);
        SetDlgItemText(IDC_REGIST_DATE, CVelkonDoc::FormatDate(doc->m_atimeRegist[r]));
        SetDlgItemText(IDC_PREV_UPDATE_DATE, CVelkonDoc::FormatDate(doc->m_atimePrevUpdate[r]));
        const CPersonalData data = doc->ReadPersonalData(r);
        m_strHandle = data.strHandle;
        m_strMemo1 = data.astrMemo[0];
        m_strMemo2 = data.astrMemo[1];
        m_strMemo3 = data.astrMemo[2];
        m_strMemo4 = data.astrMemo[3];
        m_strMemo5 = data.astrMemo[4];
        m_strMemo6 = data.astrMemo[5];
    }
    UpdateData(FALSE);
    for (int i = 0; i < kFields; ++i) SendDlgItemMessage(IDC_HANDLE + i, EM_LIMITTEXT, kMaxText);
    Cascade();
    return TRUE;
}

void CPersonalDataDlg::Cascade() {
    RECT rect;
    GetWindowRect(&rect);
    if (rect.right - rect.left + s_nCascadeX >= GetSystemMetrics(SM_CXSCREEN)) s_nCascadeX = 0;
    if (rect.bottom - rect.top + s_nCascadeY >= GetSystemMetrics(SM_CYSCREEN)) s_nCascadeY = 0;
    SetWindowPos(nullptr, s_nCascadeX, s_nCascadeY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    s_nCascadeX += GetSystemMetrics(SM_CXDLGFRAME) + GetSystemMetrics(SM_CYMENU);
    s_nCascadeY += GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYMENU);
}

void CPersonalDataDlg::OnOK() {
    CVelkonDoc* doc = CVelkonDoc::GetActive();
    const int r = m_nRecord;
    if (!doc || r < 0 || r >= doc->GetRecordCount() || doc->m_astrID[r] != m_strID) {
        TellDiscarded(IDS_EDITED_ID_REPLACED);
    } else if (doc->m_abDeleted[r]) {
        TellDiscarded(IDS_EDITED_ID_DELETED);
    } else {
        bool typed = false;
        for (int i = 0; i < kFields && !typed; ++i)
            typed = SendDlgItemMessage(IDC_HANDLE + i, EM_GETMODIFY) != 0;
        if (typed && UpdateData(TRUE)) {
            doc->WritePersonalData(
                r, {m_strHandle,
                    {m_strMemo1, m_strMemo2, m_strMemo3, m_strMemo4, m_strMemo5, m_strMemo6}});
        }
    }
    DestroyWindow();
}

// These messages name the ID with "%s", which the framework's "%1" substitution would leave
// standing in the text.
void CPersonalDataDlg::TellDiscarded(UINT nIDPrompt) const {
    CString message;
    message.Format(AfxLoadString(nIDPrompt), m_strID.GetString());
    AfxMessageBox(message, MB_OK);
}

void CPersonalDataDlg::OnCancel() {
    DestroyWindow();
}

void CPersonalDataDlg::PostNcDestroy() {
    if (m_pbGone) *m_pbGone = true;
    delete this;
}
