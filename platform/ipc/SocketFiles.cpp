#include "platform/ipc/SocketFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>
#include <thread>

#include "platform/ipc/SocketPaths.h"

namespace winlink {

namespace {

constexpr int kLockTimeoutMs = 2000;

enum class Probe { Live, Stale, Gone };

// What is behind an existing socket file: a listening server, or only the file a dead process
// left. A server too busy to take the connection is still alive.
Probe ProbeSocket(const sockaddr_un& addr) {
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.Valid()) return Probe::Live;
    for (;;) {
        if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) == 0)
            return Probe::Live;
        if (errno == EINTR) continue;
        if (errno == ECONNREFUSED) return Probe::Stale;
        if (errno == ENOENT) return Probe::Gone;
        return Probe::Live;
    }
}

// Two processes that both find a stale socket would otherwise both remove it and bind, the
// second unlinking the first one's live socket. The lock covers only that short stretch.
UniqueFd LockName(const std::string& lockPath) {
    UniqueFd fd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.Valid()) return fd;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kLockTimeoutMs);
    while (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline)
            return UniqueFd();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return fd;
}

UniqueFd NewSocket() {
    return UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
}

// The sockets of windows whose process was killed stay behind, one per window; a process that
// runs no more (its id is in the name) and nobody listening make a file stale.
void RemoveStaleWindowSockets(const std::string& dir) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    while (const dirent* e = ::readdir(d)) {
        unsigned long long window = 0;
        char tail[8] = {};
        if (std::sscanf(e->d_name, "window-%16llx.%5s", &window, tail) != 2 ||
            std::strcmp(tail, "sock") != 0 || std::strlen(e->d_name) != 28)
            continue;
        const auto pid = static_cast<pid_t>(window >> 32);
        if (pid == ::getpid() || (pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM))) continue;
        const std::string path = dir + "/" + e->d_name;
        sockaddr_un addr{};
        if (MakeAddress(path, addr) && ProbeSocket(addr) == Probe::Stale) ::unlink(path.c_str());
    }
    ::closedir(d);
}

std::string DirOf(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

// A server of the class that took another of the user's directories (a spare made while the
// usual name was taken, or the usual one) is as much this class's server as one beside us.
bool LiveElsewhere(const std::string& path) {
    const std::string dir = DirOf(path);
    const std::string name = path.substr(dir.size());
    for (const std::string& other : RuntimeDirsToSearch()) {
        sockaddr_un addr{};
        if (other != dir && MakeAddress(other + name, addr) && ProbeSocket(addr) == Probe::Live)
            return true;
    }
    return false;
}

}  // namespace

UniqueFd BindClassSocket(const std::string& path) {
    sockaddr_un addr{};
    if (path.empty() || !MakeAddress(path, addr) || !PrepareRuntimeDir(DirOf(path), true))
        return {};
    const UniqueFd lock = LockName(path + ".lock");
    if (!lock.Valid() || LiveElsewhere(path)) return {};
    UniqueFd fd = NewSocket();
    if (!fd.Valid()) return {};
    const auto* sa = reinterpret_cast<const sockaddr*>(&addr);
    for (int attempt = 0;; ++attempt) {
        if (::bind(fd.Get(), sa, sizeof(addr)) == 0) return fd;
        if (errno != EADDRINUSE || attempt == 2) return {};
        switch (ProbeSocket(addr)) {
            case Probe::Live:
                return {};
            case Probe::Stale:
                if (::unlink(path.c_str()) != 0 && errno != ENOENT) return {};
                break;
            case Probe::Gone:
                break;
        }
    }
}

UniqueFd BindWindowSocket(const std::string& path) {
    sockaddr_un addr{};
    const std::string dir = DirOf(path);
    if (path.empty() || !MakeAddress(path, addr) || !PrepareRuntimeDir(dir, true)) return {};
    // Once per directory and process: the first window of a program clears up after the
    // instances before it.
    static std::set<std::string> cleared;
    if (cleared.insert(dir).second) RemoveStaleWindowSockets(dir);
    UniqueFd fd = NewSocket();
    if (!fd.Valid()) return {};
    ::unlink(path.c_str());
    if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) != 0) return {};
    return fd;
}

}  // namespace winlink
