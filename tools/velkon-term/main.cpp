// velkon-term [--cp932] [--] [command [argument...]]
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/velkon-term/TermBridge.h"

namespace {

const char kHelp[] =
    "Usage: velkon-term [OPTION]... [--] [COMMAND [ARGUMENT]...]\n"
    "Run COMMAND (default: $SHELL, else /bin/sh) in a pseudo-terminal inside this terminal,\n"
    "passing input and output through unchanged, and offer the session to Velkon95 as a\n"
    "terminal window (class HideTermFrameClass): Velkon95 attaches itself, picks up IDs from\n"
    "what the session prints, and can type text into the session.\n"
    "\n"
    "  -k, --cp932  the session speaks CP932 (Shift_JIS): hand its output to Velkon95 and type\n"
    "               Velkon95's text unconverted (default: the session speaks UTF-8)\n"
    "  -h, --help   show this help and exit\n"
    "\n"
    "Exit status: the command's, 128 + N if a signal N ended it, 127 if it could not be run,\n"
    "1 if no pseudo-terminal could be made, 2 for a wrong option.\n";

}  // namespace

int main(int argc, char** argv) {
    TermOptions options;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "-h" || arg == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (arg == "-k" || arg == "--cp932") {
            options.keepCp932 = true;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "velkon-term: unknown option %s\nTry velkon-term --help\n",
                         arg.c_str());
            return 2;
        }
        break;
    }
    for (; i < argc; ++i) options.command.emplace_back(argv[i]);
    TermBridge bridge(std::move(options));
    return bridge.Run();
}
