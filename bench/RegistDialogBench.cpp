// Opening the registration dialog after a long session: every picked-up ID unregistered, in
// random order of arrival, so that the offers must be sorted.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchDocs.h"
#include "dialogs/RegistIDDlg.h"
#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/window/UiHooks.h"
#include "res/resource.h"

namespace {

// n distinct IDs, each with a handle, one a line, in shuffled order.
std::string PickupLines(int n) {
    std::vector<int> keys(static_cast<std::size_t>(n));
    std::iota(keys.begin(), keys.end(), 0);
    std::shuffle(keys.begin(), keys.end(), std::mt19937(11));
    std::string text;
    char line[40];
    for (const int k : keys) {
        std::snprintf(line, sizeof line, "%c%c%c%05d Handle%d\r\n", 'A' + k % 26, 'A' + k / 26 % 26,
                      'A' + k / 676 % 26, k / 17576 % 100000, k % 97);
        text += line;
    }
    return text;
}

void BM_RegistDialogOpen(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    afx_ui::EnsureApplication();
    bench::ReleaseCachedDocument();
    CVelkonDoc doc;
    CString buffer(PickupLines(n));
    doc.PickupText(buffer);
    LRESULT offered = 0;
    const AfxDialogHook previous = AfxSetDialogHook([&](CDialog* d) {
        offered = d->SendDlgItemMessage(IDC_NEW_ID, CB_GETCOUNT);
        d->EndDialog(IDCANCEL);
    });
    for (auto _ : state) {
        CRegistIDDlg dlg(&doc);
        dlg.DoModal();
    }
    AfxSetDialogHook(previous);
    afx_ui::ProcessEvents();
    state.counters["offered"] = static_cast<double>(offered);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RegistDialogOpen)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
