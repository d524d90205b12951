#include "platform/gui/dialog/DialogControls.h"

#include <string>

#include "platform/gui/window/MessageMap.h"

LRESULT CButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_REFLECT_BASE + WM_DRAWITEM && lParam) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        return TRUE;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

namespace {
CString ItemText(HWND hWnd, UINT lenMessage, UINT textMessage, int nIndex) {
    const LRESULT length = ::SendMessage(hWnd, lenMessage, static_cast<WPARAM>(nIndex));
    if (length < 0) return {};
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    ::SendMessage(hWnd, textMessage, static_cast<WPARAM>(nIndex),
                  reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(length));
    return CString(std::move(buffer));
}
}  // namespace

void CListBox::GetText(int nIndex, CString& rString) const {
    rString = ItemText(GetSafeHwnd(), LB_GETTEXTLEN, LB_GETTEXT, nIndex);
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
    rString = ItemText(GetSafeHwnd(), CB_GETLBTEXTLEN, CB_GETLBTEXT, nIndex);
}
