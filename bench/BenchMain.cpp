// The documents read their settings through the application object, so one exists for the
// whole run, with its settings file in a temporary folder instead of the user's.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>

#include "bench/BenchDocs.h"
#include "platform/base/ResourceTables.h"
#include "platform/gui/application/CWinApp.h"
#include "res/Resources.h"

namespace bench {

namespace {
Workspace* g_workspace = nullptr;
std::string g_cachedKey;
std::unique_ptr<CVelkonDoc> g_cached;
}  // namespace

void SetWorkspace(Workspace* workspace) {
    g_workspace = workspace;
}
Workspace& TheWorkspace() {
    return *g_workspace;
}

const std::string& RecordFile(std::size_t n) {
    static std::map<std::size_t, std::string> files;
    auto it = files.find(n);
    if (it != files.end()) return it->second;
    const std::string path = TheWorkspace().File("records-" + std::to_string(n) + ".lst");
    WriteFile(path, MakeLst(n, n));
    return files.emplace(n, path).first->second;
}

std::unique_ptr<CVelkonDoc> OpenDocument(const std::string& path) {
    auto doc = std::make_unique<CVelkonDoc>();
    if (!doc->OnOpenDocument(path.c_str())) return nullptr;
    return doc;
}

CVelkonDoc* CachedDocument(const std::string& key,
                           const std::function<std::unique_ptr<CVelkonDoc>()>& make) {
    if (!g_cached || g_cachedKey != key) {
        g_cached.reset();  // before making the next: both at once may not fit
        g_cached = make();
        g_cachedKey = g_cached ? key : std::string();
    }
    return g_cached.get();
}

void ReleaseCachedDocument() {
    g_cached.reset();
    g_cachedKey.clear();
}

}  // namespace bench

int main(int argc, char** argv) {
    AfxSetResourceTables(res::Tables());
    bench::Workspace workspace;
    bench::SetWorkspace(&workspace);
    CWinApp app("Velkon95");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The documents write their settings when they go, which needs the application.
    bench::ReleaseCachedDocument();
    return 0;
}
