#include "platform/gui/dialog/DataExchange.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/base/AfxRes.h"
#include "platform/base/ResourceTables.h"
#include "platform/base/WinStyles.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/dialog/CDialog.h"
#include "platform/gui/dialog/DialogControls.h"

HWND CDataExchange::PrepareCtrl(int nIDC) {
    if (m_bFailed) return nullptr;
    CWnd* control = m_pDlgWnd->GetDlgItem(nIDC);
    if (!control) {
        m_bFailed = true;
        return nullptr;
    }
    m_hWndLastControl = control->GetSafeHwnd();
    return m_hWndLastControl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    return PrepareCtrl(nIDC);
}

void CDataExchange::Fail() {
    m_bFailed = true;
    if (CWnd* control = CWnd::FromHandle(m_hWndLastControl)) m_pDlgWnd->GotoDlgCtrl(control);
}

namespace {

// The text of a whole integer, with blanks around it allowed; a number too large for an int
// is taken as the nearest int.
bool ParseInt(const CString& text, int& value) {
    const char* p = text.GetString();
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(p, &end, 10);
    if (end == p) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end) return false;
    value = static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
    return true;
}

CString TextOf(HWND hWnd) {
    CWnd* wnd = CWnd::FromHandle(hWnd);
    return wnd ? wnd->GetWindowText() : CString();
}

void SetText(HWND hWnd, const CString& text) {
    CWnd* wnd = CWnd::FromHandle(hWnd);
    // Setting the same text again would still count as a change for the program's handlers.
    if (wnd && wnd->GetWindowText() != text) wnd->SetWindowText(text);
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    const HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (!hWnd) return;
    if (pDX->m_bSaveAndValidate)
        value = TextOf(hWnd);
    else
        SetText(hWnd, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    const HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (!hWnd) return;
    if (!pDX->m_bSaveAndValidate) {
        CString text;
        text.Format("%d", value);
        SetText(hWnd, text);
        return;
    }
    int parsed = 0;
    if (!ParseInt(TextOf(hWnd), parsed)) {
        AfxMessageBox(AFX_IDP_PARSE_INT);
        pDX->Fail();
        return;
    }
    value = parsed;
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    const HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!hWnd) return;
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessage(hWnd, BM_GETCHECK));
    else
        ::SendMessage(hWnd, BM_SETCHECK, value == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    const HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!hWnd) return;
    // The group: this button and the radio buttons after it up to the next group's start.
    const afx_res::DialogResource* resource = afx_res::FindDialog(pDX->m_pDlgWnd->GetTemplateID());
    if (!resource) return;
    std::size_t first = resource->count;
    for (std::size_t i = 0; i < resource->count; ++i)
        if (static_cast<int>(resource->items[i].id) == nIDC) first = i;
    if (pDX->m_bSaveAndValidate) value = -1;
    int index = 0;
    for (std::size_t i = first; i < resource->count; ++i, ++index) {
        const afx_res::DialogItem& item = resource->items[i];
        if (i > first && (item.style & afx_res::WS_GROUP)) break;
        if (item.kind != afx_res::DlgCtl::Button ||
            (item.style & afx_res::BS_TYPEMASK) != afx_res::BS_AUTORADIOBUTTON)
            break;
        const LRESULT checked =
            pDX->m_pDlgWnd->SendDlgItemMessage(static_cast<int>(item.id), BM_GETCHECK);
        if (pDX->m_bSaveAndValidate) {
            if (checked == BST_CHECKED) value = index;
        } else {
            pDX->m_pDlgWnd->SendDlgItemMessage(static_cast<int>(item.id), BM_SETCHECK,
                                               index == value ? BST_CHECKED : BST_UNCHECKED);
        }
    }
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
    const HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!hWnd) return;
    if (pDX->m_bSaveAndValidate) {
        value = TextOf(hWnd);
        return;
    }
    if (::SendMessage(hWnd, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                      reinterpret_cast<LPARAM>(value.GetString())) == CB_ERR)
        SetText(hWnd, value);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.GetSafeHwnd()) return;
    const HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (hWnd) rControl.SubclassWindow(hWnd);
}
