#include "app/CommandLine.h"

#include <string_view>

const char* FileOnCommandLine(int argc, char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") return i + 1 < argc ? argv[i + 1] : nullptr;
        // Options the program does not know are Qt's or the window system's, taken before.
        if (arg.empty() || arg[0] == '-') continue;
        return argv[i];
    }
    return nullptr;
}

std::string AbsoluteFileName(std::string_view file, std::string_view cwd) {
    if (!file.empty() && file.front() == '/') return std::string(file);
    std::string path(cwd);
    if (path.empty() || path.back() != '/') path += '/';
    return path.append(file);
}
