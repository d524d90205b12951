#include "platform/ipc/SocketPaths.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/base/CodePage.h"

namespace winlink {

std::string RuntimeDirPath() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/velkon95";
    return "/tmp/velkon95-" + std::to_string(::geteuid());
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
