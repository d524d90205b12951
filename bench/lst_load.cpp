// Times opening a .lst file in the document, the way the program opens one at start, and the
// memory the records take once open.
//   lst_load FILE [REPEATS]
// Prints the best wall-clock time in seconds, the number of records, the resident memory the
// open document adds (KiB, after the last load, beside the process before any) and the
// process's peak resident memory (KiB).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "bench/BenchData.h"
#include "document/VelkonDoc.h"
#include "platform/base/ResourceTables.h"
#include "platform/gui/application/CWinApp.h"
#include "res/Resources.h"

namespace {

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"); 0 when it cannot be read.
long StatusKiB(const char* name) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    long value = 0;
    const std::size_t len = std::strlen(name);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, name, len) == 0 && line[len] == ':') {
            value = std::atol(line + len + 1);
            break;
        }
    }
    std::fclose(f);
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [REPEATS]\n", argv[0]);
        return 2;
    }
    AfxSetResourceTables(res::Tables());
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    bench::Workspace workspace;
    CWinApp app("Velkon95");
    const long before = StatusKiB("VmRSS");
    double best = 1e30;
    int records = 0;
    std::unique_ptr<CVelkonDoc> doc;
    for (int i = 0; i < repeats; ++i) {
        doc.reset();
        doc = std::make_unique<CVelkonDoc>();
        const auto start = std::chrono::steady_clock::now();
        if (!doc->OnOpenDocument(argv[1])) return 1;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        records = doc->GetRecordCount();
    }
    std::printf("%.3f %d %ld %ld\n", best, records, StatusKiB("VmRSS") - before,
                StatusKiB("VmHWM"));
    return 0;
}
