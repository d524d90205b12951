#include "options/PropertyEnviron.h"

#include "document/VelkonDoc.h"
#include "platform/gui/dialog/DataExchange.h"

IMPLEMENT_DYNCREATE(CPropertyEnviron)

CPropertyEnviron::CPropertyEnviron(COptionOwners& owners) : CPropertyPage(IDD), m_owners(owners) {
    if (COptionsFrame* frame = m_owners.Frame()) {
        m_bResident = frame->Resident();
        frame->UnregisterAppHotKey();
    }
    if (CVelkonDoc* doc = m_owners.Document()) {
        m_bBackup = doc->m_bBackup;
        m_bAutoSave = doc->m_bAutoSave;
    }
}

CPropertyEnviron::~CPropertyEnviron() {
    // After OK and Cancel alike, and also when the page was never shown.
    if (COptionsFrame* frame = m_owners.Frame()) frame->RegisterAppHotKey();
}

void CPropertyEnviron::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HOT_KEY, m_hotkey);
    DDX_Check(pDX, IDC_RESIDENT, m_bResident);
    DDX_Check(pDX, IDC_BACKUP, m_bBackup);
    DDX_Check(pDX, IDC_AUTO_SAVE, m_bAutoSave);
}

BOOL CPropertyEnviron::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    if (COptionsFrame* frame = m_owners.Frame())
        m_hotkey.SetHotKey(LOBYTE(frame->HotKey()), HIBYTE(frame->HotKey()));
    return TRUE;
}

BOOL CPropertyEnviron::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(static_cast<DWORD>(wParam));
    if (HIWORD(static_cast<DWORD>(wParam)) == 0 &&
        (id == IDC_RESIDENT || id == IDC_BACKUP || id == IDC_AUTO_SAVE))
        SetModified(TRUE);
    // Any message may come with a changed hot key; what counts is whether it differs now.
    COptionsFrame* frame = m_owners.Frame();
    if (frame && m_hotkey.GetSafeHwnd() &&
        static_cast<WORD>(m_hotkey.GetHotKey() & 0xFFFF) != frame->HotKey())
        SetModified(TRUE);
    return CPropertyPage::OnCommand(wParam, lParam);
}

BOOL CPropertyEnviron::OnApply() {
    if (!UpdateData(TRUE)) return FALSE;
    COptionsFrame* frame = m_owners.Frame();
    if (frame) {
        frame->Resident() = m_bResident;
        frame->HotKey() = static_cast<WORD>(m_hotkey.GetHotKey() & 0xFFFF);
    }
    if (CVelkonDoc* doc = m_owners.Document()) {
        doc->m_bBackup = m_bBackup;
        doc->m_bAutoSave = m_bAutoSave;
    }
    SetModified(FALSE);
    // The icon comes or goes at once; the new hot key waits until the page is gone.
    if (frame) {
        if (m_bResident)
            frame->AddTrayIcon();
        else
            frame->RemoveTrayIcon();
    }
    return TRUE;
}
