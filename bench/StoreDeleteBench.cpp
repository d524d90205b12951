// The store's part of Ctrl+A, Del and of as many Ctrl+U: the document's DeleteIDs over every
// record in list order, and RestoreID one at a time, without a view.
#include <benchmark/benchmark.h>

#include "bench/BenchDocs.h"

namespace {

std::unique_ptr<CVelkonDoc> Document(int n) {
    return bench::OpenDocument(bench::RecordFile(static_cast<std::size_t>(n)));
}

void BM_StoreDeleteAll(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    auto doc = Document(n);
    if (!doc) return state.SkipWithError("no document");
    for (auto _ : state) {
        state.PauseTiming();
        const std::vector<int> rows = doc->m_anSortIndex.ToVector();
        state.ResumeTiming();
        doc->DeleteIDs(rows);
        state.PauseTiming();
        if (doc->m_anSortIndex.GetSize() != 0) state.SkipWithError("records left");
        while (!doc->m_anDeletedStack.IsEmpty()) doc->RestoreID();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_StoreDeleteAll)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

void BM_StoreRestoreAll(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    auto doc = Document(n);
    if (!doc) return state.SkipWithError("no document");
    for (auto _ : state) {
        state.PauseTiming();
        doc->DeleteIDs(doc->m_anSortIndex.ToVector());
        state.ResumeTiming();
        while (!doc->m_anDeletedStack.IsEmpty()) doc->RestoreID();
        state.PauseTiming();
        if (doc->m_anSortIndex.GetSize() != n) state.SkipWithError("records left deleted");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_StoreRestoreAll)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Registering an ID anew after a bulk delete: the deleted stack's lookup by ID is made then.
void BM_StoreAddAfterDeleteAll(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    auto doc = Document(n);
    if (!doc) return state.SkipWithError("no document");
    for (auto _ : state) {
        state.PauseTiming();
        doc = Document(n);
        doc->DeleteIDs(doc->m_anSortIndex.ToVector());
        const CString id = doc->m_astrID[n / 2];
        state.ResumeTiming();
        if (!doc->AddNewID(id, "again")) state.SkipWithError("not added");
    }
}
BENCHMARK(BM_StoreAddAfterDeleteAll)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
