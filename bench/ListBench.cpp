// The list view with a million rows: filling it as the view does after a load (append with
// callback text, then the record number), sorting it by a key computed beforehand, and finding a
// row by the first characters of its ID as the user types them.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchDocs.h"
#include "listview/VelkonView.h"
#include "platform/gui/reportlist/CListView.h"
#include "platform/gui/window/UiHooks.h"

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

// The program's view, counting the texts the list asks of it.
class CountingView : public CVelkonView {
public:
    long long m_nAsked = 0;

protected:
    void OnCountedDispInfo(NMHDR* pNMHDR, LRESULT* pResult) {
        ++m_nAsked;
        OnGetDispInfo(pNMHDR, pResult);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CountingView, CVelkonView)
ON_NOTIFY_REFLECT(LVN_GETDISPINFO, OnCountedDispInfo)
END_MESSAGE_MAP()

// A key typed into the ID list of range(0) records, sorted by ID as on a first start: the search
// it makes (LVM_FINDITEM for the rows starting with the letter, from the row after the focused
// one, wrapping), and the move of the focus there. The letters come at random, so most rows
// found lie far down from the last. With range(1) 0 the list has forgotten every text before
// each key, which is what each key costs when every row it passes is asked for its text again;
// with 1 it remembers what earlier keys saw. "texts" is the texts asked per key.
void BM_ListTypeAhead(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const bool remembered = state.range(1) != 0;
    CVelkonDoc* doc = bench::CachedDocument("view-" + std::to_string(n), [n] {
        return bench::OpenDocument(bench::RecordFile(static_cast<std::size_t>(n)));
    });
    if (!doc) return state.SkipWithError("no document");
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    afx_ui::EnsureApplication();
    auto* view = new CountingView;
    view->CreateViewWindow(nullptr, 1, nullptr);
    doc->AddView(view);
    view->OnInitialUpdate();
    CListCtrl& list = view->GetListCtrl();
    auto type = [&list](const char* letter) {
        LVFINDINFO find;
        find.flags = LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP;
        find.psz = letter;
        const int row = list.FindItem(&find, list.GetNextItem(-1, LVNI_FOCUSED));
        if (row >= 0) list.SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
        return row;
    };
    list.SetItemState(0, LVIS_FOCUSED, LVIS_FOCUSED);
    if (remembered) type("#");  // no ID starts with it: every row seen once
    std::mt19937 rng(5);
    long long asked = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!remembered) list.RedrawItems(0, n - 1);
        const char letter[2] = {static_cast<char>('a' + rng() % 26), '\0'};
        view->m_nAsked = 0;
        state.ResumeTiming();
        benchmark::DoNotOptimize(type(letter));
        asked += view->m_nAsked;
    }
    state.counters["texts"] =
        benchmark::Counter(static_cast<double>(asked), benchmark::Counter::kAvgIterations);
    doc->RemoveView(view);
    view->DestroyWindow();
    afx_ui::ProcessEvents();
}
BENCHMARK(BM_ListTypeAhead)
    ->ArgNames({"rows", "remembered"})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
