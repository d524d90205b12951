// Clipboard pickup as a user meets it: another program (xclip) owns a large text on the X11
// clipboard, the window is open on a file of 50,000 records, and the text's 100,000 IDs (half of
// them registered) are picked up slice by slice while the window keeps answering. Needs an X
// server (bench/clipboard.sh starts a private Xvfb); without one the benchmark reports an error.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchData.h"
#include "database/VelkonDoc.h"
#include "frame/MainFrame.h"
#include "listview/VelkonView.h"
#include "platform/base/CodePage.h"
#include "platform/gui/CDocTemplate.h"
#include "platform/gui/CWinApp.h"
#include "platform/gui/UiHooks.h"
#include "res/resource.h"

namespace {

using Clock = std::chrono::steady_clock;

// The main frame with a probe: a short timer whose ticks are UI events handled one after the
// other, so the longest time between two ticks is the longest the window did not answer.
class CProbeFrame : public CMainFrame {
    DECLARE_DYNCREATE(CProbeFrame)
public:
    static constexpr UINT_PTR kProbe = 0x7e57;
    Clock::time_point lastTick;
    Clock::duration longestGap{};
    Clock::time_point begin;
    bool started = false;  // the run began (the worker is busy)

    void StartProbe() {
        begin = lastTick = Clock::now();
        longestGap = {};
        started = false;
        SetTimer(kProbe, 5);
    }

protected:
    DECLARE_MESSAGE_MAP()
    void OnTimer(UINT_PTR nIDEvent) {
        if (nIDEvent != kProbe) return CMainFrame::OnTimer(nIDEvent);
        const auto now = Clock::now();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
        if (!s_bPickupIdle) started = true;
        // A run that never starts (no clipboard owner) must not hold the benchmark forever.
        if ((started && s_bPickupIdle) || now - begin > std::chrono::seconds(60)) {
            KillTimer(kProbe);
            afx_ui::Quit();
        }
    }
};
IMPLEMENT_DYNCREATE(CProbeFrame)
BEGIN_MESSAGE_MAP(CProbeFrame, CMainFrame)
ON_WM_TIMER()
END_MESSAGE_MAP()

struct Input {
    std::string lstPath;
    std::string textPath;  // UTF-8, as another program puts it on the clipboard
    std::size_t textBytes = 0;
};

// 100,000 distinct IDs with handles, one to a line, spread through forum chatter without IDs
// up to 10 MB; the records of every other ID in a file.
Input MakeInput(const bench::Workspace& ws) {
    constexpr std::size_t kIds = 100000;
    const std::vector<std::string> ids = bench::DistinctIds(kIds, 31);
    std::vector<std::string> registered;
    for (std::size_t i = 0; i < kIds; i += 2) registered.push_back(ids[i]);
    std::shuffle(registered.begin(), registered.end(), std::mt19937_64(32));

    const std::string idLines = bench::MakeIdHandleText(ids, 33);
    const std::size_t target = std::size_t{10} << 20;
    const std::string chatter =
        bench::MakeForumText(target - std::min(target, idLines.size()), std::size_t{1} << 40, 34);
    std::string text;
    text.reserve(target + 4096);
    std::size_t a = 0, b = 0;
    while (a < idLines.size() || b < chatter.size()) {
        // one ID line, then chatter lines up to the same share of the text
        std::size_t e = idLines.find("\r\n", a);
        e = e == std::string::npos ? idLines.size() : e + 2;
        text.append(idLines, a, e - a);
        a = e;
        const std::size_t want = a * chatter.size() / std::max<std::size_t>(idLines.size(), 1);
        while (b < want) {
            std::size_t f = chatter.find("\r\n", b);
            f = f == std::string::npos ? chatter.size() : f + 2;
            text.append(chatter, b, f - b);
            b = f;
        }
    }
    Input in;
    in.lstPath = ws.File("half.lst");
    in.textPath = ws.File("clip.txt");
    in.textBytes = text.size();
    bench::WriteFile(in.lstPath, bench::MakeLstFor(registered, 35));
    bench::WriteFile(in.textPath, Cp932ToUtf8(text));
    return in;
}

void BM_ClipboardPickup_10MB(benchmark::State& state) {
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no X server: run bench/clipboard.sh");
        return;
    }
    bench::Workspace ws;
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    const Input in = MakeInput(ws);
    afx_ui::EnsureApplication();

    auto app = std::make_unique<CWinApp>("Velkon95");
    app->SetRegistryKey("Brambl Free Software");
    app->AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CVelkonDoc),
                                               RUNTIME_CLASS(CProbeFrame),
                                               RUNTIME_CLASS(CVelkonView)));
    double seconds = 0, worstGapMs = 0;
    int picked = 0, runs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // The last run's pickups changed the records; start again from the file, unasked.
        if (auto* frame = dynamic_cast<CFrameWnd*>(app->m_pMainWnd))
            if (auto* doc = frame->GetActiveDocument()) doc->SetModifiedFlag(FALSE);
        app->OpenDocumentFile(in.lstPath.c_str());
        auto* frame = static_cast<CProbeFrame*>(app->m_pMainWnd);
        frame->ShowWindow(SW_SHOW);
        afx_ui::ProcessEvents();
        frame->StartProbe();
        state.ResumeTiming();

        const auto t0 = Clock::now();
        const std::string cmd =
            "xclip -selection clipboard -i '" + in.textPath + "' >/dev/null 2>&1";
        if (std::system(cmd.c_str()) != 0) {
            state.SkipWithError("xclip failed");
            break;
        }
        afx_ui::RunEventLoop();
        const auto t1 = Clock::now();

        state.PauseTiming();
        seconds += std::chrono::duration<double>(t1 - t0).count();
        worstGapMs = std::max(worstGapMs,
                              std::chrono::duration<double, std::milli>(frame->longestGap).count());
        picked = static_cast<CVelkonDoc*>(frame->GetActiveDocument())->m_astrPickupID.GetSize();
        ++runs;
        state.ResumeTiming();
    }
    if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
    app->ExitInstance();
    afx_ui::ProcessEvents();
    state.counters["MB"] = static_cast<double>(in.textBytes) / (1 << 20);
    state.counters["picked"] = picked;
    state.counters["mean_s"] = runs ? seconds / runs : 0;
    state.counters["longest_gap_ms"] = worstGapMs;
}
BENCHMARK(BM_ClipboardPickup_10MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
