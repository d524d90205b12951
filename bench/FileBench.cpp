// Opening and saving the record file. Both run once per session on files of up to a million
// records, and the user waits for each.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/BenchDocs.h"
#include "platform/base/CFile.h"

namespace {

void BM_OpenDocument(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::string& path = bench::RecordFile(n);
    bench::ReleaseCachedDocument();
    std::unique_ptr<CVelkonDoc> doc;
    for (auto _ : state) {
        // A fresh document each time, as at start; freeing the last one is not part of opening.
        state.PauseTiming();
        doc.reset();
        doc = std::make_unique<CVelkonDoc>();
        state.ResumeTiming();
        if (!doc->OnOpenDocument(path.c_str())) {
            state.SkipWithError("cannot open the record file");
            return;
        }
    }
    state.counters["records"] = doc->GetRecordCount();
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
}
BENCHMARK(BM_OpenDocument)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

CVelkonDoc* LoadedDocument(std::size_t n) {
    return bench::CachedDocument("records-" + std::to_string(n),
                                 [n] { return bench::OpenDocument(bench::RecordFile(n)); });
}

// The whole save as the user starts it: backup, temporary file, fsync, rename.
void BM_SaveDocument(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    CVelkonDoc* doc = LoadedDocument(n);
    if (!doc) {
        state.SkipWithError("cannot open the record file");
        return;
    }
    const std::string path = bench::TheWorkspace().File("saved.lst");
    for (auto _ : state) {
        if (!doc->OnSaveDocument(path.c_str())) {
            state.SkipWithError("save failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
    state.SetItemsProcessed(state.iterations() * doc->GetRecordCount());
}
BENCHMARK(BM_SaveDocument)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// Only the formatting of the lines, without the disk: tells the CPU part of a save from the
// wait for the disk.
void BM_StoreRecordsToNull(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    CVelkonDoc* doc = LoadedDocument(n);
    if (!doc) {
        state.SkipWithError("cannot open the record file");
        return;
    }
    for (auto _ : state) {
        CFile file;
        if (!file.Open("/dev/null", CFile::modeWrite)) {
            state.SkipWithError("cannot open /dev/null");
            return;
        }
        CArchive ar(&file, CArchive::store);
        doc->Serialize(ar);
        ar.Flush();
    }
    state.SetItemsProcessed(state.iterations() * doc->GetRecordCount());
}
BENCHMARK(BM_StoreRecordsToNull)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace
