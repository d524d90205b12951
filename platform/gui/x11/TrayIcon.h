// The notification-area icon of a window, over the desktop's system tray.
#pragma once

#include <optional>

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
// WM_LBUTTONDBLCLK or WM_RBUTTONDOWN. A StatusNotifierItem host reports a click as one
// activation, never a double click; that activation comes as WM_LBUTTONDBLCLK, since it is
// what the user does there to reach the window, and its context-menu request as
// WM_RBUTTONDOWN. Without a tray host NIM_ADD still keeps the icon (it appears when a tray
// turns up later) but answers FALSE, so a caller that cares can tell.
BOOL Shell_NotifyIcon(DWORD dwMessage, NOTIFYICONDATA* lpData);
// Whether the icon of this window and id is kept (for tests and the tray's own bookkeeping).
BOOL IsNotifyIconPresent(HWND hWnd, UINT uID);
// The tip the icon of this window and id shows, in CP932; empty when there is no icon.
CString GetNotifyIconTip(HWND hWnd, UINT uID);

// What shows the icons: no tray at all, an XEmbed system tray, or a StatusNotifierItem host over
// the session bus (Qt takes the latter when org.kde.StatusNotifierWatcher is on the bus with a
// host as the first icon is made).
enum class TrayHost { None, XEmbed, StatusNotifier };
// The host of the icon of this window and id as things stand now; None without the icon. An
// icon added while there was no tray gets one when an XEmbed tray appears.
TrayHost GetNotifyIconHost(HWND hWnd, UINT uID);
// Tests stand in for the desktop: every icon has this host from then on (nullopt: the real
// one). Returns the one it replaces.
std::optional<TrayHost> SetTrayHostForTests(std::optional<TrayHost> host);

BOOL GetCursorPos(POINT* lpPoint);
