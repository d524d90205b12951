// icon_png ID SIZE FILE.png: writes an icon resource as a picture file.
#include <cstdio>
#include <cstdlib>

#include "platform/base/ResourceTables.h"
#include "platform/gui/drawing/IconExport.h"
#include "res/Resources.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: icon_png ID SIZE FILE.png\n");
        return 2;
    }
    AfxSetResourceTables(res::Tables());
    return AfxSaveIconPng(static_cast<unsigned>(std::atoi(argv[1])), std::atoi(argv[2]), argv[3])
               ? 0
               : 1;
}
