// Times saving a .lst file the way the program saves one: the document opened from FILE is
// written to OUT (temporary file, fsync, rename), REPEATS times.
//   lst_save FILE OUT [REPEATS]
// Prints the best wall-clock time in seconds and the size of OUT in bytes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "bench/BenchData.h"
#include "document/VelkonDoc.h"
#include "platform/base/ResourceTables.h"
#include "platform/gui/application/CWinApp.h"
#include "res/Resources.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FILE OUT [REPEATS]\n", argv[0]);
        return 2;
    }
    AfxSetResourceTables(res::Tables());
    const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    bench::Workspace workspace;
    CWinApp app("Velkon95");
    auto doc = std::make_unique<CVelkonDoc>();
    if (!doc->OnOpenDocument(argv[1])) return 1;
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!doc->OnSaveDocument(argv[2])) return 1;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    std::printf("%.3f %llu\n", best,
                static_cast<unsigned long long>(std::filesystem::file_size(argv[2])));
    return 0;
}
