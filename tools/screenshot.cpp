// screenshot FILE.png: saves the screen of $DISPLAY.
#include <cstdio>

#include "platform/gui/drawing/ScreenGrab.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshot FILE.png\n");
        return 2;
    }
    if (!AfxGrabScreen(argc, argv, argv[1])) {
        std::fprintf(stderr, "screenshot: no screen to grab\n");
        return 1;
    }
    return 0;
}
