#include "dialogs/RegistIDDlg.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "document/VelkonDoc.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/dialog/DataExchange.h"
#include "platform/gui/dialog/DialogControls.h"
#include "res/resource.h"

namespace {
CString EntryText(const CDialog* dlg, int id, int i) {
    const LRESULT length = dlg->SendDlgItemMessage(id, CB_GETLBTEXTLEN, static_cast<WPARAM>(i));
    if (length < 0) return {};
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    dlg->SendDlgItemMessage(id, CB_GETLBTEXT, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(length));
    return CString(std::move(buffer));
}

// Adds the texts to a sorted combo box in the list's own order, so that each one lands at the
// end and opening stays fast with tens of thousands of offers. Returns the position that
// `texts[pick]` ended up at (-1 when pick is out of range).
int AddSorted(CDialog* dlg, int id, const std::vector<const CString*>& texts,
              const std::vector<int>* itemData, int pick) {
    std::vector<int> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return CompareListItemText(texts[static_cast<std::size_t>(a)]->GetString(),
                                   texts[static_cast<std::size_t>(b)]->GetString()) < 0;
    });
    int picked = -1;
    for (const int i : order) {
        const LRESULT pos = dlg->SendDlgItemMessage(
            id, CB_ADDSTRING, 0,
            reinterpret_cast<LPARAM>(texts[static_cast<std::size_t>(i)]->GetString()));
        if (pos < 0) continue;
        if (itemData)
            dlg->SendDlgItemMessage(id, CB_SETITEMDATA, static_cast<WPARAM>(pos),
                                    (*itemData)[static_cast<std::size_t>(i)]);
        // A later entry that sorted before the picked one pushes it down.
        if (i == pick)
            picked = static_cast<int>(pos);
        else if (picked >= 0 && pos <= picked)
            ++picked;
    }
    return picked;
}
}  // namespace

BEGIN_MESSAGE_MAP(CRegistIDDlg, CDialog)
ON_CBN_SELCHANGE(IDC_NEW_ID, OnSelChangeNewID)
END_MESSAGE_MAP()

CRegistIDDlg::CRegistIDDlg(CVelkonDoc* pDoc, CWnd* pParent) : CDialog(IDD, pParent), m_pDoc(pDoc) {}

void CRegistIDDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_CBString(pDX, IDC_NEW_ID, m_strNewID);
    DDX_CBString(pDX, IDC_NEW_HANDLE, m_strNewHandle);
}

BOOL CRegistIDDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    FillIDList();
    FillHandleList();
    return TRUE;
}

void CRegistIDDlg::OnSelChangeNewID() {
    FillHandleList();
}

void CRegistIDDlg::FillIDList() {
    SendDlgItemMessage(IDC_NEW_ID, CB_RESETCONTENT);
    if (!m_pDoc) return;
    // Offers are the picked-up IDs no live record has; the pickup number is the item data.
    const auto& picked = m_pDoc->m_astrPickupID;
    std::vector<CString> offerTexts;
    std::vector<int> pickupOf;
    for (int i = 0; i < picked.GetSize(); ++i) {
        CString id = picked[i];
        if (m_pDoc->FindID(id) != -1) continue;
        offerTexts.push_back(std::move(id));
        pickupOf.push_back(i);
    }
    std::vector<const CString*> offers;
    offers.reserve(offerTexts.size());
    for (const CString& text : offerTexts) offers.push_back(&text);
    // The latest first arrival among them is selected.
    const int latest =
        AddSorted(this, IDC_NEW_ID, offers, &pickupOf, static_cast<int>(offers.size()) - 1);
    SendDlgItemMessage(IDC_NEW_ID, CB_SETCURSEL, static_cast<WPARAM>(latest));
}

int CRegistIDDlg::PickupOfEntry(int i) const {
    const CString id = EntryText(this, IDC_NEW_ID, i);
    const auto data = SendDlgItemMessage(IDC_NEW_ID, CB_GETITEMDATA, static_cast<WPARAM>(i));
    const auto& picked = m_pDoc->m_astrPickupID;
    if (data >= 0 && data < picked.GetSize() && picked[static_cast<int>(data)] == id)
        return static_cast<int>(data);
    return m_pDoc->FindPickup(id);
}

void CRegistIDDlg::FillHandleList() {
    SendDlgItemMessage(IDC_NEW_HANDLE, CB_RESETCONTENT);
    const auto entry = static_cast<int>(SendDlgItemMessage(IDC_NEW_ID, CB_GETCURSEL));
    const int pickup = m_pDoc && entry >= 0 ? PickupOfEntry(entry) : -1;
    if (pickup >= 0 && pickup < m_pDoc->m_aPickupHandles.GetSize()) {
        const CStringArray& handles = *m_pDoc->m_aPickupHandles[pickup];
        std::vector<const CString*> texts;
        texts.reserve(static_cast<std::size_t>(handles.GetSize()));
        for (int i = 0; i < handles.GetSize(); ++i) texts.push_back(&handles[i]);
        AddSorted(this, IDC_NEW_HANDLE, texts, nullptr, -1);
    }
    const bool any = SendDlgItemMessage(IDC_NEW_HANDLE, CB_GETCOUNT) > 0;
    SendDlgItemMessage(IDC_NEW_HANDLE, CB_SETCURSEL, any ? 0 : static_cast<WPARAM>(-1));
}

void CRegistIDDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (!CVelkonDoc::IsValidID(m_strNewID)) {
        AfxMessageBox(IDS_INVALID_ID, MB_OK);
    } else {
        // The offer goes even when the store then refuses the ID: it is registered either way.
        const auto p = static_cast<int>(SendDlgItemMessage(IDC_NEW_ID, CB_GETCURSEL));
        if (p >= 0) {
            const auto n = static_cast<int>(SendDlgItemMessage(IDC_NEW_ID, CB_DELETESTRING, p));
            SendDlgItemMessage(IDC_NEW_ID, CB_SETCURSEL, static_cast<WPARAM>(p < n ? p : n - 1));
            FillHandleList();
        }
        m_strNewID.MakeUpper();
        if (m_pDoc && !m_pDoc->AddNewID(m_strNewID, m_strNewHandle)) {
            // The text has "%s" where the ID goes.
            std::string text = AfxLoadString(IDS_ID_ALREADY_REGISTERED).Str();
            const std::size_t at = text.find("%s");
            if (at != std::string::npos) text.replace(at, 2, m_strNewID.Str());
            AfxMessageBox(text.c_str(), MB_OK);
        }
    }
    GotoDlgCtrl(GetDlgItem(IDC_NEW_ID));
}
