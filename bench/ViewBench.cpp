// The ID list over a large document: filling it after a load, sorting it by an ID or a date
// column, and finding the row of the record a hint names.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

#include "bench/BenchDocs.h"
#include "bench/ViewOver.h"
#include "listview/VelkonView.h"
#include "platform/gui/window/UiHooks.h"

namespace {

CVelkonDoc* Document(int n) {
    return bench::CachedDocument("view-" + std::to_string(n), [n] {
        return bench::OpenDocument(bench::RecordFile(static_cast<std::size_t>(n)));
    });
}

void BM_ViewRebuildList(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    CVelkonDoc* doc = Document(n);
    if (!doc) return state.SkipWithError("no document");
    bench::ViewOver view(doc);
    for (auto _ : state) view->RebuildList();  // rows, then the sort by ID
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ViewRebuildList)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Sorts by list column position range(1) (0 ID, 1 handle, 2 registration date), from the handle
// order (the handle from the ID order).
void BM_ViewSortList(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int position = static_cast<int>(state.range(1));
    CVelkonDoc* doc = Document(n);
    if (!doc) return state.SkipWithError("no document");
    bench::ViewOver view(doc);
    for (auto _ : state) {
        state.PauseTiming();
        view->SortList(position == 1 ? 0 : 1, TRUE);
        state.ResumeTiming();
        view->SortList(position, TRUE);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ViewSortList)
    ->ArgNames({"rows", "column"})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Args({1000000, 2})
    ->Unit(benchmark::kMillisecond);

// The lookup hints 11 and 20 make, in a sorted list.
void BM_ViewFindRow(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    CVelkonDoc* doc = Document(n);
    if (!doc) return state.SkipWithError("no document");
    bench::ViewOver view(doc);
    CListCtrl& list = view->GetListCtrl();
    std::mt19937 rng(7);
    for (auto _ : state) benchmark::DoNotOptimize(list.FindItemByData(rng() % n));
    state.SetComplexityN(n);
}
BENCHMARK(BM_ViewFindRow)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity();

// Hint 20 for a shown record: found, drawn again, made the only selected row.
void BM_ViewHintPicked(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    CVelkonDoc* doc = Document(n);
    if (!doc) return state.SkipWithError("no document");
    bench::ViewOver view(doc);
    std::mt19937 rng(11);
    for (auto _ : state) {
        doc->m_nLastChanged = static_cast<int>(rng() % n);
        view->OnUpdate(nullptr, HINT_PICKED, nullptr);
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_ViewHintPicked)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity();

// The same picks in bursts of range(1), drawn from range(2) records (0: any), shown at each
// burst's end; per_pick compares with BM_ViewHintPicked. Two records picked in turn cost the
// view a lookup per pick but draw two rows.
void BM_ViewHintPickedBurst(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int burst = static_cast<int>(state.range(1));
    const int ids = state.range(2) > 0 ? static_cast<int>(state.range(2)) : n;
    CVelkonDoc* doc = Document(n);
    if (!doc) return state.SkipWithError("no document");
    bench::ViewOver view(doc);
    std::mt19937 rng(11);
    for (auto _ : state) {
        doc->BeginPickupBurst();
        for (int i = 0; i < burst; ++i) {
            doc->m_nLastChanged = static_cast<int>(rng() % ids);
            view->OnUpdate(nullptr, HINT_PICKED, nullptr);
        }
        view->OnUpdate(nullptr, HINT_PICKUP_BURST_END, nullptr);
        doc->EndPickupBurst();  // no hint: the store saw no pick
    }
    state.counters["per_pick"] = benchmark::Counter(
        burst, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ViewHintPickedBurst)
    ->ArgNames({"rows", "burst", "ids"})
    ->Args({1000, 4096, 0})
    ->Args({10000, 4096, 0})
    ->Args({100000, 4096, 0})
    ->Args({1000000, 4096, 0})
    ->Args({1000000, 65536, 0})
    ->Args({1000000, 4096, 2})
    ->Unit(benchmark::kMicrosecond);

// Hint 11 and its undo: a row taken out of the middle and appended again.
void BM_ViewHintDeleteRestore(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    CVelkonDoc* doc = Document(n);
    if (!doc) return state.SkipWithError("no document");
    bench::ViewOver view(doc);
    std::mt19937 rng(13);
    for (auto _ : state) {
        int r = static_cast<int>(rng() % n);
        while (doc->m_abDeleted[r]) r = (r + 1) % n;
        doc->DeleteID(r);
        doc->RestoreID();
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_ViewHintDeleteRestore)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity();

}  // namespace
