// Binding the socket file a window listens on. A file left by a process that died is found
// stale and replaced; a live server's file is left alone.
#pragma once

#include <string>

#include "platform/base/UniqueFd.h"

namespace winlink {

// A bound, non-blocking socket at the path of a window class; invalid when a live server
// already has it, here or in another of the user's runtime directories (RuntimeDirsToSearch),
// the path does not fit, or its directory is not private.
UniqueFd BindClassSocket(const std::string& path);
// The same at the path of a window handle, which holds this process's id: a file of that name
// can only be left over from a dead process that had the same id, and is replaced.
UniqueFd BindWindowSocket(const std::string& path);

}  // namespace winlink
