// The notification-area icon of a window, over the desktop's system tray.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;

constexpr UINT NIF_MESSAGE = 0x1;
constexpr UINT NIF_ICON = 0x2;
constexpr UINT NIF_TIP = 0x4;

struct NOTIFYICONDATA {
    DWORD cbSize = 88;
    HWND hWnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    HICON hIcon = nullptr;  // the icon resource id, as CWinApp::LoadIcon gives it
    char szTip[64] = {};    // CP932
};

// Clicks on the icon come to the window as its callback message, wParam the icon id and lParam
// WM_LBUTTONDBLCLK or WM_RBUTTONDOWN. Without a tray host NIM_ADD still keeps the icon (it
// appears when a tray turns up later) but answers FALSE, so a caller that cares can tell.
BOOL Shell_NotifyIcon(DWORD dwMessage, NOTIFYICONDATA* lpData);
// Whether the icon of this window and id is kept (for tests and the tray's own bookkeeping).
BOOL IsNotifyIconPresent(HWND hWnd, UINT uID);
// The tip the icon of this window and id shows, in CP932; empty when there is no icon.
CString GetNotifyIconTip(HWND hWnd, UINT uID);

BOOL GetCursorPos(POINT* lpPoint);
