// Times opening a .lst file in the document, the way the program opens one at start.
//   lst_load FILE [REPEATS]
// Prints the best wall-clock time in seconds and the number of records.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "bench/BenchData.h"
#include "document/VelkonDoc.h"
#include "platform/base/ResourceTables.h"
#include "platform/gui/application/CWinApp.h"
#include "res/Resources.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [REPEATS]\n", argv[0]);
        return 2;
    }
    AfxSetResourceTables(res::Tables());
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    bench::Workspace workspace;
    CWinApp app("Velkon95");
    double best = 1e30;
    int records = 0;
    for (int i = 0; i < repeats; ++i) {
        auto doc = std::make_unique<CVelkonDoc>();
        const auto start = std::chrono::steady_clock::now();
        if (!doc->OnOpenDocument(argv[1])) return 1;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        records = doc->GetRecordCount();
    }
    std::printf("%.3f %d\n", best, records);
    return 0;
}
