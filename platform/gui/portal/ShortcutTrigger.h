// A hot key as the desktop portal's shortcuts take it: modifiers and an XKB key name joined by
// "+", e.g. "CTRL+ALT+V".
#pragma once

#include <string>

#include "platform/base/WinTypes.h"

// fsModifiers as RegisterHotKey takes them (MOD_*); "" when the key has no XKB name.
std::string ShortcutTrigger(UINT fsModifiers, UINT vk);
