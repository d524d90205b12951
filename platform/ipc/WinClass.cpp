#include "platform/ipc/WinClass.h"

#include <unistd.h>

#include <set>
#include <string>

#include "platform/ipc/Handles.h"
#include "platform/ipc/RemoteWindows.h"

namespace {

std::set<std::string>& Registered() {
    static std::set<std::string> classes;
    return classes;
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
    return afx_handles::FindRemoteByClass(CString(lpszClassName));
}

DWORD GetWindowThreadProcessId(HWND hWnd, DWORD* lpdwProcessId) {
    DWORD pid = 0;
    if (afx_handles::FindLocal(hWnd))
        pid = static_cast<DWORD>(::getpid());
    else
        pid = afx_handles::RemoteProcessId(hWnd);
    if (lpdwProcessId) *lpdwProcessId = pid;
    // The windows live on each process's main (user-interface) thread, whose id is the pid's.
    return pid;
}

HWND GetLastActivePopup(HWND hWnd) {
    return hWnd;
}
