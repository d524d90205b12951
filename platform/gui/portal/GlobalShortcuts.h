// Hot keys through the desktop portal's global shortcuts (org.freedesktop.portal.GlobalShortcuts
// on the session bus). In a Wayland session an X11 key grab sees keys only while an X11 window
// has the focus; the desktop passes a shortcut bound there on whatever window has it.
#pragma once

#include <functional>

#include "platform/base/WinTypes.h"

namespace portal_shortcuts {

// WAYLAND_DISPLAY set, or XDG_SESSION_TYPE "wayland".
bool InWaylandSession();

// Binds the combination (fsModifiers as RegisterHotKey takes them) for (hWnd, id); when the
// desktop activates it, the window gets WM_HOTKEY as from an X11 grab. Asynchronous: the session
// bus is asked without waiting, and when it has no such portal, or the portal or the user turns
// the binding down, `unavailable` runs once, later, on this thread (never after Unbind). FALSE
// when the key has no name the portal knows. Binding (hWnd, id) again replaces its combination.
BOOL Bind(HWND hWnd, int id, UINT fsModifiers, UINT vk, std::function<void()> unavailable);
// Closes the binding's portal session, or withdraws the request under way. FALSE when (hWnd, id)
// has no binding.
BOOL Unbind(HWND hWnd, int id);

}  // namespace portal_shortcuts
