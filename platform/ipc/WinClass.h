// Window classes that other processes can find: a window created with a registered class
// answers FindWindow and SendMessage from other programs of the same user.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

using ATOM = WORD;
using HCURSOR = void*;

struct WNDCLASSEX {
    UINT cbSize = sizeof(WNDCLASSEX);
    UINT style = 0;
    void* lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;
    LPCTSTR lpszMenuName = nullptr;
    LPCTSTR lpszClassName = nullptr;
    HICON hIconSm = nullptr;
};

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;

ATOM RegisterClassEx(const WNDCLASSEX* lpwcx);
BOOL UnregisterClass(LPCTSTR lpszClassName, HINSTANCE hInstance);
BOOL IsClassRegistered(const CString& className);
// A top-level window of the class, in this process or another; nullptr when none runs.
HWND FindWindow(LPCTSTR lpszClassName, LPCTSTR lpszWindowName);
// The window's open dialog if it has one, else the window (decided by its own process).
HWND GetLastActivePopup(HWND hWnd);
// The thread that made the window; *lpdwProcessId (if given) its process. 0 for no window.
DWORD GetWindowThreadProcessId(HWND hWnd, DWORD* lpdwProcessId);
HINSTANCE AfxGetInstanceHandle();
