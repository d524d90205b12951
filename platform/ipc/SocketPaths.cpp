#include "platform/ipc/SocketPaths.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <time.h>
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

// A directory of this user's that nobody else can enter or write to (and no link to one).
bool IsPrivateDir(const std::string& dir) {
    struct stat st {};
    return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 077) == 0;
}

// Where the sockets live when nobody has interfered: under $XDG_RUNTIME_DIR; without it under
// the user's own /run/user/<uid>, else /tmp/velkon95-<uid>.
std::string UsualDir() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/velkon95";
    const std::string run = g_runUserRoot + "/" + std::to_string(::geteuid());
    if (IsPrivateDir(run)) return run + "/velkon95";
    return g_tmpRoot + "/velkon95-" + std::to_string(::geteuid());
}

// Why the usual directory cannot be used; empty when it can (or is not there yet).
std::string WhyTaken(const std::string& dir) {
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0) return {};
    if (S_ISLNK(st.st_mode)) return "is a link";
    if (!S_ISDIR(st.st_mode)) return "is not a directory";
    if (st.st_uid != ::geteuid()) return "belongs to another user";
    if (st.st_mode & 077) return "is open to others";
    return {};
}

// The private directories that stand in for a usual one somebody else has taken: named
// <usual>-XXXXXX beside it, in name order. Every connection a client makes asks, so the parent
// is read again only when its modification time changed, or is too recent to tell a later
// change in the same clock tick apart.
std::vector<std::string> SpareDirs(const std::string& usual) {
    static std::mutex mutex;
    static std::string cachedFor;
    static timespec cachedMtime{};
    static bool settled = false;
    static std::vector<std::string> cached;
    const std::lock_guard lock(mutex);
    const std::size_t slash = usual.rfind('/');
    const std::string parent = slash == 0 ? "/" : usual.substr(0, slash);
    const std::string prefix = usual.substr(slash + 1) + "-";
    struct stat st {};
    if (::stat(parent.c_str(), &st) != 0) return {};
    if (!settled || cachedFor != usual || st.st_mtim.tv_sec != cachedMtime.tv_sec ||
        st.st_mtim.tv_nsec != cachedMtime.tv_nsec) {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        cached.clear();
        if (DIR* d = ::opendir(parent.c_str())) {
            while (const dirent* e = ::readdir(d)) {
                const std::string name = e->d_name;
                if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
                    cached.push_back(usual.substr(0, slash + 1) + name);
            }
            ::closedir(d);
        }
        std::sort(cached.begin(), cached.end());
        cachedFor = usual;
        cachedMtime = st.st_mtim;
        settled = now.tv_sec > st.st_mtim.tv_sec + 1;
    }
    std::vector<std::string> found;
    for (const std::string& dir : cached)
        if (IsPrivateDir(dir)) found.push_back(dir);
    return found;
}

// The spare every program of the user takes: the first of ours in name order, made when there
// is none.
std::string SpareDir(const std::string& usual) {
    const std::vector<std::string> found = SpareDirs(usual);
    if (!found.empty()) return found.front();
    std::string pattern = usual + "-XXXXXX";
    if (::mkdtemp(pattern.data())) return pattern;
    return {};
}

}  // namespace

void SetRuntimeRootsForTesting(const std::string& runUser, const std::string& tmp) {
    g_runUserRoot = runUser.empty() ? "/run/user" : runUser;
    g_tmpRoot = tmp.empty() ? "/tmp" : tmp;
}

std::string RuntimeDirPath() {
    const std::string usual = UsualDir();
    if (WhyTaken(usual).empty()) return usual;
    const std::string spare = SpareDir(usual);
    return spare.empty() ? usual : spare;
}

std::vector<std::string> RuntimeDirsToSearch() {
    std::vector<std::string> dirs;
    const std::string preferred = RuntimeDirPath();
    if (IsPrivateDir(preferred)) dirs.push_back(preferred);
    const std::string usual = UsualDir();
    if (usual != preferred && IsPrivateDir(usual)) dirs.push_back(usual);
    for (const std::string& spare : SpareDirs(usual))
        if (spare != preferred) dirs.push_back(spare);
    return dirs;
}

std::string RuntimeDirNotice() {
    const std::string usual = UsualDir();
    const std::string why = WhyTaken(usual);
    if (why.empty()) return {};
    const std::string dir = RuntimeDirPath();
    if (dir == usual)
        return usual + " " + why +
               ", and no directory of our own could be made beside it: other programs cannot "
               "reach this one";
    return usual + " " + why + "; other programs reach this one through " + dir + " instead";
}

bool PrepareRuntimeDir(const std::string& dir, bool create) {
    if (create && ::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

std::string SocketName(const CString& className) {
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
    return name + ".sock";
}

std::string WindowSocketName(std::uint64_t window) {
    char name[40];
    std::snprintf(name, sizeof(name), "window-%016llx.sock",
                  static_cast<unsigned long long>(window));
    return name;
}

std::string SocketPath(const CString& className) {
    if (className.IsEmpty()) return {};
    return RuntimeDirPath() + "/" + SocketName(className);
}

std::string WindowSocketPath(std::uint64_t window) {
    return RuntimeDirPath() + "/" + WindowSocketName(window);
}

bool MakeAddress(const std::string& path, sockaddr_un& addr) {
    addr = {};
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(addr.sun_path)) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace winlink
