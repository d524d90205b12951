// The list view with a million rows: filling it as the view does after a load (append with
// callback text, then the record number), and sorting it by a key computed beforehand.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "platform/gui/CListView.h"
#include "platform/gui/UiHooks.h"

namespace {

// A view window without a frame; it deletes itself when the window goes.
CListView* MakeView() {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    afx_ui::EnsureApplication();
    auto* view = new CListView;
    view->CreateViewWindow(nullptr, 1, nullptr);
    view->GetListCtrl().InsertColumn(0, "ID", LVCFMT_LEFT, 100);
    return view;
}

void Fill(CListCtrl& ctrl, int n) {
    for (int r = 0; r < n; ++r) {
        LVITEM item;
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = ctrl.GetItemCount();
        item.pszText = LPSTR_TEXTCALLBACK;
        item.iImage = I_IMAGECALLBACK;
        ctrl.SetItemData(ctrl.InsertItem(&item), r);
    }
}

void BM_ListInsertRows(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    CListView* view = MakeView();
    CListCtrl& ctrl = view->GetListCtrl();
    for (auto _ : state) {
        Fill(ctrl, n);
        state.PauseTiming();
        ctrl.DeleteAllItems();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
    view->DestroyWindow();
    afx_ui::ProcessEvents();
}
BENCHMARK(BM_ListInsertRows)->Arg(1000000)->Unit(benchmark::kMillisecond);

std::vector<unsigned> g_keys;
int CompareKeys(LPARAM a, LPARAM b, LPARAM) {
    const unsigned ka = g_keys[static_cast<size_t>(a)], kb = g_keys[static_cast<size_t>(b)];
    return ka < kb ? -1 : ka > kb ? 1 : 0;
}

void BM_ListSortRows(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::mt19937 rng(1);
    g_keys.resize(static_cast<size_t>(n));
    // Many equal keys, as dates give.
    for (unsigned& k : g_keys) k = rng() % 5000;
    CListView* view = MakeView();
    CListCtrl& ctrl = view->GetListCtrl();
    for (auto _ : state) {
        state.PauseTiming();
        ctrl.DeleteAllItems();
        Fill(ctrl, n);
        ctrl.SetItemState(n - 1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        state.ResumeTiming();
        ctrl.SortItems(CompareKeys, 0);
        benchmark::DoNotOptimize(ctrl.FindItemByData(n / 2));
    }
    state.SetItemsProcessed(state.iterations() * n);
    view->DestroyWindow();
    afx_ui::ProcessEvents();
}
BENCHMARK(BM_ListSortRows)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
