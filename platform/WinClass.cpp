#include "platform/WinClass.h"

#include <memory>
#include <set>
#include <string>
#include <unordered_map>

#include "platform/CWnd.h"
#include "platform/Handles.h"
#include "platform/WindowLink.h"

namespace {

std::set<std::string>& Registered() {
    static std::set<std::string> classes;
    return classes;
}

struct Remote {
    std::unique_ptr<winlink::Client> client;
    CString className;
};

std::unordered_map<HWND, Remote>& Remotes() {
    static std::unordered_map<HWND, Remote> table;
    return table;
}

}  // namespace

HINSTANCE AfxGetInstanceHandle() {
    static int instance;
    return &instance;
}

ATOM RegisterClassEx(const WNDCLASSEX* lpwcx) {
    if (!lpwcx || !lpwcx->lpszClassName) return 0;
    Registered().insert(lpwcx->lpszClassName);
    return static_cast<ATOM>(Registered().size());
}

BOOL UnregisterClass(LPCTSTR lpszClassName, HINSTANCE) {
    return lpszClassName && Registered().erase(lpszClassName) > 0;
}

BOOL IsClassRegistered(const CString& className) {
    return Registered().count(className.Str()) > 0;
}

HWND FindWindow(LPCTSTR lpszClassName, LPCTSTR) {
    if (!lpszClassName) return nullptr;
    if (HWND local = afx_handles::FindLocalByClass(lpszClassName)) return local;
    // A window that is looked for again and again (a poll) keeps its one connection and handle;
    // handles whose peer went away are dropped.
    for (auto it = Remotes().begin(); it != Remotes().end();) {
        if (!it->second.client || !it->second.client->IsAlive()) {
            it = Remotes().erase(it);
        } else if (it->second.className == lpszClassName) {
            return it->first;
        } else {
            ++it;
        }
    }
    auto client = winlink::Client::Connect(CString(lpszClassName));
    if (!client) return nullptr;
    const HWND h = afx_handles::NewHandle();
    Remotes()[h] = Remote{std::move(client), CString(lpszClassName)};
    return h;
}

HWND GetLastActivePopup(HWND hWnd) {
    return hWnd;
}

BOOL SetForegroundWindow(HWND hWnd) {
    if (CWnd* wnd = CWnd::FromHandle(hWnd)) return wnd->SetForegroundWindow();
    LRESULT result = 0;
    return afx_handles::SendRemote(hWnd, WM_AFX_ACTIVATE_LAST_POPUP, 0, 0, result) && result != 0;
}

namespace afx_handles {

bool SendRemote(HWND h, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    auto it = Remotes().find(h);
    if (it == Remotes().end() || !it->second.client) return false;
    if (it->second.client->Send(winlink::Request{message, wParam, lParam}, result)) return true;
    // The peer is gone or hangs: the handle is dead from now on.
    it->second.client.reset();
    result = 0;
    return false;
}

bool IsRemote(HWND h) {
    auto it = Remotes().find(h);
    return it != Remotes().end() && it->second.client && it->second.client->IsConnected();
}

}  // namespace afx_handles
