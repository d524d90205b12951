#include "platform/ipc/SocketPaths.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/base/CodePage.h"

namespace winlink {

namespace {

std::string g_runUserRoot = "/run/user";
std::string g_tmpRoot = "/tmp";

// A directory of this user's that nobody else can enter or write to.
bool IsPrivateDir(const std::string& dir) {
    struct stat st {};
    return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 077) == 0;
}

std::string TmpFallback() {
    return g_tmpRoot + "/velkon95-" + std::to_string(::geteuid());
}

// The private directory that stands in for a fallback somebody else has taken: the first one
// of ours in name order, so that every program of the user finds the same; made when there is
// none.
std::string SpareDir(const std::string& fallback) {
    // Asked for every socket path: the folder is read once while the choice stays good.
    static std::mutex mutex;
    static std::string chosen;
    const std::lock_guard lock(mutex);
    if (chosen.rfind(fallback + "-", 0) == 0 && IsPrivateDir(chosen)) return chosen;
    std::vector<std::string> found;
    if (DIR* d = ::opendir(g_tmpRoot.c_str())) {
        const std::string prefix = fallback.substr(g_tmpRoot.size() + 1) + "-";
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0 &&
                IsPrivateDir(g_tmpRoot + "/" + name))
                found.push_back(g_tmpRoot + "/" + name);
        }
        ::closedir(d);
    }
    if (!found.empty()) return chosen = *std::min_element(found.begin(), found.end());
    std::string pattern = fallback + "-XXXXXX";
    if (::mkdtemp(pattern.data())) return chosen = pattern;
    return {};
}

// The fallback exists and is not ours alone.
bool FallbackTaken(const std::string& fallback) {
    struct stat st {};
    return ::lstat(fallback.c_str(), &st) == 0 && !IsPrivateDir(fallback);
}

}  // namespace

void SetRuntimeRootsForTesting(const std::string& runUser, const std::string& tmp) {
    g_runUserRoot = runUser.empty() ? "/run/user" : runUser;
    g_tmpRoot = tmp.empty() ? "/tmp" : tmp;
}

std::string RuntimeDirPath() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/velkon95";
    const std::string run = g_runUserRoot + "/" + std::to_string(::geteuid());
    if (IsPrivateDir(run)) return run + "/velkon95";
    const std::string fallback = TmpFallback();
    if (!FallbackTaken(fallback)) return fallback;
    const std::string spare = SpareDir(fallback);
    return spare.empty() ? fallback : spare;
}

std::string RuntimeDirNotice() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && xdg[0] == '/') return {};
    if (IsPrivateDir(g_runUserRoot + "/" + std::to_string(::geteuid()))) return {};
    const std::string fallback = TmpFallback();
    if (!FallbackTaken(fallback)) return {};
    const std::string dir = RuntimeDirPath();
    if (dir == fallback)
        return fallback +
               " belongs to another user or is open to others, and no directory of "
               "our own could be made beside it: other programs cannot reach this one";
    return fallback +
           " belongs to another user or is open to others; other programs reach this "
           "one through " +
           dir + " instead";
}

bool PrepareRuntimeDir(const std::string& dir, bool create) {
    if (create && ::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

std::string SocketPath(const CString& className) {
    if (className.IsEmpty()) return {};
    // Escaping rather than replacing keeps different class names apart ("a/b" and "a_b").
    static const char kHex[] = "0123456789ABCDEF";
    std::string name;
    for (const char ch : Cp932ToUtf8(className.View())) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
            b == '-' || b == '_' || b == '.' || b >= 0x80) {
            name += ch;
        } else {
            name += '%';
            name += kHex[b >> 4];
            name += kHex[b & 15];
        }
    }
    return RuntimeDirPath() + "/" + name + ".sock";
}

std::string WindowSocketPath(std::uint64_t window) {
    char name[40];
    std::snprintf(name, sizeof(name), "/window-%016llx.sock",
                  static_cast<unsigned long long>(window));
    return RuntimeDirPath() + name;
}

bool MakeAddress(const std::string& path, sockaddr_un& addr) {
    addr = {};
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(addr.sun_path)) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace winlink
