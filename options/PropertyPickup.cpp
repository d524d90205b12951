#include "options/PropertyPickup.h"

#include "document/VelkonDoc.h"
#include "options/NoPickupIDDlg.h"
#include "platform/gui/dialog/DataExchange.h"
#include "platform/gui/dialog/DialogControls.h"

IMPLEMENT_DYNCREATE(CPropertyPickup)

BEGIN_MESSAGE_MAP(CPropertyPickup, CPropertyPage)
ON_BN_CLICKED(IDC_ADD_NO_PICKUP_ID, OnAdd)
ON_BN_CLICKED(IDC_DELETE_NO_PICKUP_ID, OnDelete)
END_MESSAGE_MAP()

CPropertyPickup::CPropertyPickup(COptionOwners& owners) : CPropertyPage(IDD), m_owners(owners) {
    if (COptionsFrame* frame = m_owners.Frame()) {
        m_bHidetermPickup = frame->HidetermPickup();
        m_bClipboardPickup = frame->ClipboardPickup();
    }
}

void CPropertyPickup::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_HIDETERM_PICKUP, m_bHidetermPickup);
    DDX_Check(pDX, IDC_CLIPBOARD_PICKUP, m_bClipboardPickup);
}

BOOL CPropertyPickup::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    if (CVelkonDoc* doc = m_owners.Document()) {
        for (int i = 0; i < doc->m_astrNoPickupID.GetSize(); ++i)
            SendDlgItemMessage(IDC_NO_PICKUP_IDS, LB_ADDSTRING, 0,
                               reinterpret_cast<LPARAM>(doc->m_astrNoPickupID[i].GetString()));
    }
    SendDlgItemMessage(IDC_NO_PICKUP_IDS, LB_SETCURSEL, 0);
    return TRUE;
}

BOOL CPropertyPickup::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(static_cast<DWORD>(wParam));
    if (HIWORD(static_cast<DWORD>(wParam)) == 0 &&
        (id == IDC_HIDETERM_PICKUP || id == IDC_CLIPBOARD_PICKUP))
        SetModified(TRUE);
    return CPropertyPage::OnCommand(wParam, lParam);
}

void CPropertyPickup::OnAdd() {
    CNoPickupIDDlg dlg;
    if (dlg.DoModal() != IDOK) return;
    // Neither a second entry of the same ID nor a registered ID is refused.
    SendDlgItemMessage(IDC_NO_PICKUP_IDS, LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(dlg.m_strID.GetString()));
    SetModified(TRUE);
    GotoDlgCtrl(GetDlgItem(IDC_NO_PICKUP_IDS));
}

void CPropertyPickup::OnDelete() {
    const auto selected = static_cast<int>(SendDlgItemMessage(IDC_NO_PICKUP_IDS, LB_GETCURSEL));
    if (selected != LB_ERR) {
        const auto left = static_cast<int>(
            SendDlgItemMessage(IDC_NO_PICKUP_IDS, LB_DELETESTRING, static_cast<WPARAM>(selected)));
        // The entry now at the same place, or the new last one; none when the list is empty.
        const int next = selected >= left ? selected - 1 : selected;
        SendDlgItemMessage(IDC_NO_PICKUP_IDS, LB_SETCURSEL, static_cast<WPARAM>(next));
    }
    SetModified(TRUE);
    GotoDlgCtrl(GetDlgItem(IDC_NO_PICKUP_IDS));
}

BOOL CPropertyPickup::OnApply() {
    if (!UpdateData(TRUE)) return FALSE;
    if (COptionsFrame* frame = m_owners.Frame()) {
        frame->HidetermPickup() = m_bHidetermPickup;
        frame->ClipboardPickup() = m_bClipboardPickup;
    }
    if (CVelkonDoc* doc = m_owners.Document()) {
        // The whole list, in the list box's order: sorted.
        CListBox list;
        list.SubclassDlgItem(IDC_NO_PICKUP_IDS, this);
        doc->m_astrNoPickupID.RemoveAll();
        for (int i = 0; i < list.GetCount(); ++i) {
            CString id;
            list.GetText(i, id);
            doc->m_astrNoPickupID.Add(id);
        }
        list.UnsubclassWindow();
    }
    SetModified(FALSE);
    return TRUE;
}
