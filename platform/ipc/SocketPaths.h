// Where window sockets live: a private directory of the user's (under $XDG_RUNTIME_DIR), one
// socket per window class and one per top-level window handle.
#pragma once

#include <sys/un.h>

#include <cstdint>
#include <string>

#include "platform/base/CString.h"

namespace winlink {

// The directory of this user's window sockets; it may not exist yet. Under $XDG_RUNTIME_DIR;
// without it under /run/user/<uid> when that is the user's own, else /tmp/velkon95-<uid>. When
// someone else has taken that name, or left it open to others, a private directory made beside
// it (/tmp/velkon95-<uid>-XXXXXX) takes its place, found again by every program of the user.
std::string RuntimeDirPath();
// What went wrong with the usual directory, for the user; empty when nothing did.
std::string RuntimeDirNotice();
// For the tests: the folders that stand for /run/user and /tmp; empty strings restore them.
void SetRuntimeRootsForTesting(const std::string& runUser, const std::string& tmp);
// Makes the directory when `create` and it is missing. True when it is a directory that only
// this user can enter: anyone else who can write into it could put a socket of theirs in place
// of ours and read what we send.
bool PrepareRuntimeDir(const std::string& dir, bool create);

// Where the window with handle value `window` listens, so that a handle passed to another process
// can be sent to; empty when the name does not fit. Nothing is created.
std::string WindowSocketPath(std::uint64_t window);
// Where the window of `className` (CP932) listens; empty for an empty name. Nothing is created.
std::string SocketPath(const CString& className);

// The address of a socket file; false when the path is empty or too long for one.
bool MakeAddress(const std::string& path, sockaddr_un& addr);

}  // namespace winlink
