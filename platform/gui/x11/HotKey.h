// System-wide hot keys: a key combination pressed anywhere on the desktop comes to a window as
// WM_HOTKEY (wParam the id, lParam MAKELPARAM(modifiers, virtual key)).
#pragma once

#include "platform/base/WinTypes.h"

constexpr UINT MOD_ALT = 0x1;
constexpr UINT MOD_CONTROL = 0x2;
constexpr UINT MOD_SHIFT = 0x4;
constexpr UINT MOD_WIN = 0x8;

// Modifier flags of a hot-key control's value (its high byte).
constexpr BYTE HOTKEYF_SHIFT = 0x1;
constexpr BYTE HOTKEYF_CONTROL = 0x2;
constexpr BYTE HOTKEYF_ALT = 0x4;
constexpr BYTE HOTKEYF_EXT = 0x8;

// FALSE when the combination is taken by another program, the key has no X equivalent, or the
// display is not X11 (the offscreen platform, Wayland): the hot key then silently does nothing.
// Registering an id again for the same window replaces its combination. In a Wayland session the
// key is bound through the desktop portal's global shortcuts (portal/GlobalShortcuts.h), which
// answers later: TRUE then means asked for. Where there is no such portal the X11 grab stands in
// and the user is told once that the key works only while the program has the focus.
BOOL RegisterHotKey(HWND hWnd, int id, UINT fsModifiers, UINT vk);
BOOL UnregisterHotKey(HWND hWnd, int id);

// The X key symbol of a virtual-key code; 0 when there is none.
unsigned long KeySymFromVirtualKey(UINT vk);

// Lets tests see registrations without an X server; while set it answers instead of X11.
class HotKeyHook {
public:
    virtual ~HotKeyHook() = default;
    virtual BOOL Register(HWND hWnd, int id, UINT fsModifiers, UINT vk) = 0;
    virtual BOOL Unregister(HWND hWnd, int id) = 0;
};
// Returns the hook it replaces.
HotKeyHook* SetHotKeyHook(HotKeyHook* pHook);
