// What a second start of the program hands the running one: a request to come up, with the
// file it was asked to open, if any.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

// To the running program's frame from another process: wParam a mapping (duplicated into the
// receiver, which closes it) holding the file's absolute path in the file system's bytes and a
// zero byte, or 0 for none; lParam 0. Nonzero when the window came up.
constexpr UINT WM_SECOND_START = WM_USER + 102;
// The frame's own, posted to itself: opens the file a second start handed over.
constexpr UINT WM_OPEN_HANDED_OVER = WM_USER + 103;
// The longest path handed over with its zero byte, the system's PATH_MAX.
constexpr std::size_t kMaxHandedOverPath = 4096;

// The path in a received mapping's view of viewSize bytes: up to its first zero byte, which must
// come within kMaxHandedOverPath bytes and the view, and absolute. Empty for anything else.
CString HandedOverPath(const char* pView, std::size_t viewSize);
