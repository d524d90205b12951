// Where window sockets live: a private directory of the user's (under $XDG_RUNTIME_DIR), one
// socket per window class and one per top-level window handle.
#pragma once

#include <sys/un.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/CString.h"

namespace winlink {

// The directory this process makes its window sockets in; it may not exist yet. Under
// $XDG_RUNTIME_DIR; without it under /run/user/<uid> when that is the user's own, else
// /tmp/velkon95-<uid>. When someone else has taken that name (another owner, open to others, a
// link), a private directory made beside it (<name>-XXXXXX) takes its place, the first one in
// name order, found again by every program of the user.
std::string RuntimeDirPath();
// Every private directory a program of this user may have made its sockets in, RuntimeDirPath
// first: the usual one and the spares beside it. A server that chose a spare while the usual
// name was taken stays there after the name is free again; clients look in each, and a server
// takes a class only when no live socket of it is in any.
std::vector<std::string> RuntimeDirsToSearch();
// What went wrong with the usual directory, for the user; empty when nothing did.
std::string RuntimeDirNotice();
// For the tests: the folders that stand for /run/user and /tmp; empty strings restore them.
void SetRuntimeRootsForTesting(const std::string& runUser, const std::string& tmp);
// Makes the directory when `create` and it is missing. True when it is a directory that only
// this user can enter: anyone else who can write into it could put a socket of theirs in place
// of ours and read what we send.
bool PrepareRuntimeDir(const std::string& dir, bool create);

// The socket file's name of the window with handle value `window`, so that a handle passed to
// another process can be sent to, and its path in RuntimeDirPath. Nothing is created.
std::string WindowSocketName(std::uint64_t window);
std::string WindowSocketPath(std::uint64_t window);
// The same for the window of `className` (CP932); empty for an empty name.
std::string SocketName(const CString& className);
std::string SocketPath(const CString& className);

// The address of a socket file; false when the path is empty or too long for one.
bool MakeAddress(const std::string& path, sockaddr_un& addr);

}  // namespace winlink
