// icon_png ID SIZE FILE.png: writes an icon resource as a picture file.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/base/ResourceTables.h"
#include "platform/gui/drawing/IconExport.h"
#include "res/Resources.h"

namespace {

const char kUsage[] =
    "Usage: icon_png ID SIZE [--] FILE.png\n"
    "Writes the icon resource ID, SIZE pixels square, as a PNG picture.\n"
    "  -h, --help  show this help and exit\n";

// A whole positive number, or 0.
int Positive(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return *text && !*end && value > 0 && value <= 65535 ? static_cast<int>(value) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    const bool dashes = argc == 5 && std::strcmp(argv[3], "--") == 0;
    if (argc != 4 && !dashes) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const int id = Positive(argv[1]), size = Positive(argv[2]);
    if (!id || !size) {
        std::fprintf(stderr, "icon_png: ID and SIZE must be whole numbers from 1 to 65535\n");
        return 2;
    }
    AfxSetResourceTables(res::Tables());
    return AfxSaveIconPng(static_cast<unsigned>(id), size, argv[dashes ? 4 : 3]) ? 0 : 1;
}
