#include "app/Usage.h"

#include <cstdio>
#include <string_view>

#include "platform/base/CodePage.h"
#include "platform/base/VersionInfoSeam.h"
#include "platform/gui/application/CWinApp.h"

namespace {

constexpr const char kUsage[] =
    "Usage: velkon95 [FILE.lst]\n"
    "Keeps the member IDs of online services (three letters and five digits, as in ABC12345)\n"
    "with their handles and memos, and picks new ones up from text copied to the clipboard and\n"
    "from velkon-term sessions.\n"
    "\n"
    "Opens FILE.lst; without it, id.lst beside the program, or else a new, empty list. Only one\n"
    "Velkon95 runs at a time: starting it again brings the running one to the front.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n"
    "  --             end of the options: the next argument is the file, even if it begins\n"
    "                 with '-'\n"
    "\n"
    "The manual opens in the program with F1. See also velkonctl(1), velkon-term(1).\n";

// The About box's lines: product name, the version without its fourth part, the copyright.
int PrintVersion() {
    AFX_VERSION_INFO info;
    if (!AfxReadVersionInfo(AfxGetModuleFileName(), &info) || !info.bFixedInfo) {
        std::fputs("velkon95: the program file holds no version information\n", stderr);
        return 1;
    }
    std::printf("velkon95 (%s) %u.%u.%u\n",
                info.bProductName ? Cp932ToUtf8(info.strProductName.View()).c_str() : "?",
                HIWORD(info.dwProductVersionMS), LOWORD(info.dwProductVersionMS),
                HIWORD(info.dwProductVersionLS));
    if (info.bLegalCopyright)
        std::printf("%s\n", Cp932ToUtf8(info.strLegalCopyright.View()).c_str());
    return 0;
}

}  // namespace

int PrintUsageOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") break;
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "-V" || arg == "--version") return PrintVersion();
    }
    return -1;
}
