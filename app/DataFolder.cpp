#include "app/DataFolder.h"

#include <string_view>

std::string UserDataFolder(const char* xdgDataHome, const char* home) {
    const auto absolute = [](const char* s) { return s && s[0] == '/'; };
    std::string folder;
    if (absolute(xdgDataHome)) {
        folder = xdgDataHome;
    } else if (absolute(home)) {
        folder = home;
        if (folder.back() != '/') folder += '/';
        folder += ".local/share";
    } else {
        return std::string();
    }
    if (folder.back() != '/') folder += '/';
    return folder + "Velkon95";
}
