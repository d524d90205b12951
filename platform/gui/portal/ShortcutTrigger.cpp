#include "platform/gui/portal/ShortcutTrigger.h"

#include "platform/gui/x11/HotKey.h"

// Xlib last: its macros would clash with the names above.
#include <X11/Xlib.h>

std::string ShortcutTrigger(UINT fsModifiers, UINT vk) {
    const unsigned long keysym = KeySymFromVirtualKey(vk);
    // X's key names are XKB's: both come from the same list of key symbols.
    const char* name = keysym ? XKeysymToString(keysym) : nullptr;
    if (!name) return {};
    std::string trigger;
    if (fsModifiers & MOD_CONTROL) trigger += "CTRL+";
    if (fsModifiers & MOD_ALT) trigger += "ALT+";
    if (fsModifiers & MOD_SHIFT) trigger += "SHIFT+";
    if (fsModifiers & MOD_WIN) trigger += "LOGO+";
    // A letter as printed on the key, as desktops show their shortcuts.
    if (vk >= 'A' && vk <= 'Z') return trigger + static_cast<char>(vk);
    return trigger + name;
}
