// screenshot FILE.png: saves the screen of $DISPLAY.
#include <cstdio>
#include <cstring>

#include "platform/gui/drawing/ScreenGrab.h"

namespace {

const char kUsage[] =
    "Usage: screenshot [--] FILE.png\n"
    "Saves the screen of $DISPLAY as a PNG picture.\n"
    "  -h, --help  show this help and exit\n";

}  // namespace

int main(int argc, char** argv) {
    // "--" lets a picture be named "-x.png"; otherwise an argument with a '-' is an option.
    int file = 1;
    if (argc > 1 && std::strcmp(argv[1], "--") == 0) {
        file = 2;
    } else if (argc > 1 &&
               (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    } else if (argc > 1 && argv[1][0] == '-' && argv[1][1] != '\0') {
        std::fprintf(stderr, "screenshot: unknown option %s\n%s", argv[1], kUsage);
        return 2;
    }
    if (argc != file + 1) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!AfxGrabScreen(argc, argv, argv[file])) {
        std::fprintf(stderr, "screenshot: no screen to grab\n");
        return 1;
    }
    return 0;
}
