// Ctrl+A and Del over a large list, and as many Ctrl+U after it: the commands as the menu runs
// them, through the view, the document and its deleted stack.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench/BenchDocs.h"
#include "bench/ViewOver.h"
#include "listview/VelkonView.h"
#include "platform/gui/window/UiHooks.h"
#include "res/resource.h"

namespace {

std::unique_ptr<CVelkonDoc> Document(int n) {
    return bench::OpenDocument(bench::RecordFile(static_cast<std::size_t>(n)));
}

void BM_DeleteAllSelected(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    auto doc = Document(n);
    if (!doc) return state.SkipWithError("no document");
    bench::ViewOver view(doc.get());
    for (auto _ : state) {
        state.PauseTiming();
        view.Run(ID_EDIT_SELECT_ALL);
        state.ResumeTiming();
        view.Run(ID_DELETE_ID);
        state.PauseTiming();
        if (doc->m_anSortIndex.GetSize() != 0) state.SkipWithError("rows left");
        while (!doc->m_anDeletedStack.IsEmpty()) doc->RestoreID();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DeleteAllSelected)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_RestoreEachDeleted(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    auto doc = Document(n);
    if (!doc) return state.SkipWithError("no document");
    bench::ViewOver view(doc.get());
    for (auto _ : state) {
        state.PauseTiming();
        view.Run(ID_EDIT_SELECT_ALL);
        view.Run(ID_DELETE_ID);
        state.ResumeTiming();
        for (int i = 0; i < n; ++i) view.Run(ID_RESTORE_ID);
        state.PauseTiming();
        if (doc->m_anSortIndex.GetSize() != n) state.SkipWithError("records left deleted");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RestoreEachDeleted)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
