// Clipboard pickup as a user meets it: another program (xclip) owns a text on the X11 clipboard,
// the window is open on a file of records, and the text's IDs are picked up while the window
// keeps answering. In the same run, as the yardstick, the time xclip itself needs to read the
// ID lists (10 and 100 MB) back. Texts come as Linux programs hand them over: UTF-8 with LF line
// ends. Needs an X server and xclip (bench/clipboard.sh starts a private Xvfb); without one every
// benchmark reports an error.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchData.h"
#include "document/VelkonDoc.h"
#include "frame/MainFrame.h"
#include "listview/VelkonView.h"
#include "platform/base/CodePage.h"
#include "platform/base/ResourceTables.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/document/CDocTemplate.h"
#include "platform/gui/window/UiHooks.h"
#include "res/Resources.h"
#include "res/resource.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The main frame with a probe: a 1 ms timer whose ticks are UI events handled one after the
// other, so the longest time between two ticks is the longest the window did not answer. The
// run's start, the wake-ups that take slices and the last slice handed to the document are
// noted as they happen.
class CProbeFrame : public CMainFrame {
    DECLARE_DYNCREATE(CProbeFrame)
public:
    static constexpr UINT_PTR kProbe = 0x7e57;
    Clock::time_point lastTick;
    Clock::duration longestGap{};
    Clock::time_point begin;
    Clock::time_point lastChunk;
    Clock::time_point copied;     // the program heard of the copy
    Clock::time_point runStart;   // the text fetched, the run begun
    Clock::time_point textEnded;  // a wake-up found all of the text arrived
    bool started = false;         // a run began
    Clock::duration inHandler{};  // taking slices
    int wakeups = 0;              // the times the UI thread woke up to take slices
    bool watching = false;

    void StartProbe() {
        begin = lastTick = lastChunk = copied = Clock::now();
        if (!watching) {
            watching = true;
            QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged,
                             [this] { copied = Clock::now(); });
        }
        longestGap = {};
        started = false;
        inHandler = {};
        wakeups = 0;
        SetTimer(kProbe, 1);
    }
    bool Done() const { return started && s_bPickupIdle; }

protected:
    DECLARE_MESSAGE_MAP()
    void OnTimer(UINT_PTR nIDEvent) {
        if (nIDEvent != kProbe) return CMainFrame::OnTimer(nIDEvent);
        const auto now = Clock::now();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
        // A run that never starts (no clipboard owner) must not hold the benchmark forever.
        if (Done() || now - begin > std::chrono::seconds(300)) {
            KillTimer(kProbe);
            afx_ui::Quit();
        }
    }
    void OnDrawClipboard() {
        const BOOL wasIdle = s_bPickupIdle;
        CMainFrame::OnDrawClipboard();
        if (wasIdle && !s_bPickupIdle) {
            started = true;
            runStart = Clock::now();
        }
    }
    LRESULT OnChunk(WPARAM w, LPARAM l) {
        if (textEnded < runStart && s_pClipText && s_pClipText->Ended()) textEnded = Clock::now();
        const auto a = Clock::now();
        const LRESULT result = CMainFrame::OnClipboardChunk(w, l);
        lastChunk = Clock::now();
        inHandler += lastChunk - a;
        ++wakeups;
        return result;
    }
};
IMPLEMENT_DYNCREATE(CProbeFrame)
BEGIN_MESSAGE_MAP(CProbeFrame, CMainFrame)
ON_WM_TIMER()
ON_WM_DRAWCLIPBOARD()
ON_MESSAGE(WM_CLIPBOARD_CHUNK, OnChunk)
END_MESSAGE_MAP()

std::string WithLfEnds(std::string text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

std::string OneLine(std::string text) {
    std::string out = WithLfEnds(std::move(text));
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
}

// Distinct IDs with handles, one to a line, spread through forum chatter without IDs up to
// `target` bytes (100,000 IDs in 10 MB, 1,000,000 in 100 MB).
std::string IdText(const std::vector<std::string>& ids, std::size_t target) {
    const std::string idLines = bench::MakeIdHandleText(ids, 33);
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
    return text;
}

// The texts of the runs: 0 an ID list in chatter, 100,000 IDs in 10 MB (10,240 KB) or 1,000,000
// in 100 MB; 1 forum text of the size asked for; 2 the same without a single line end.
enum TextKind { kIdList = 0, kForum = 1, kOneLine = 2 };

// The file the window is open on: 50,000 records, none of them in the texts, or half of the ID
// list's IDs (50,000 of the 10 MB list's, 500,000 of the 100 MB one's).
enum Registered { kNone = 0, kHalf = 1 };

constexpr int kIdList10Mb = 10240;
constexpr int kIdList100Mb = 102400;

std::size_t IdsIn(int kb) {
    return kb >= kIdList100Mb ? 1000000 : 100000;
}

struct Harness {
    bench::Workspace ws;
    std::vector<std::string> ids;  // the 100 MB list's; the 10 MB list has the first 100,000
    std::map<std::pair<int, int>, std::pair<std::string, std::size_t>> texts;  // path, bytes
    std::map<std::pair<int, int>, std::string> files;                          // .lst paths
    std::vector<std::string> sorted;                 // `ids` in order, for the file of others
    std::map<std::pair<int, int>, double> idListMs;  // mean_ms by (KB, Registered)
    std::unique_ptr<CWinApp> app;

    Harness() { ids = bench::DistinctIds(IdsIn(kIdList100Mb), 31); }
    std::vector<std::string> Ids(int kb) const {
        return {ids.begin(), ids.begin() + static_cast<std::ptrdiff_t>(IdsIn(kb))};
    }
    const std::string& LstFile(Registered registered, int kb) {
        if (registered == kNone) kb = 0;  // the same 50,000 others for every text
        auto it = files.find({registered, kb});
        if (it != files.end()) return it->second;
        std::vector<std::string> records;
        if (registered == kHalf) {
            const std::vector<std::string> listed = Ids(kb);
            for (std::size_t i = 0; i < listed.size(); i += 2) records.push_back(listed[i]);
        } else {
            records = bench::DistinctIds(50000, 37);
            const std::vector<std::string>& listed = SortedIds();
            std::erase_if(records, [&listed](const std::string& id) {
                return std::binary_search(listed.begin(), listed.end(), id);
            });
        }
        std::shuffle(records.begin(), records.end(), std::mt19937_64(32));
        const std::string path =
            ws.File("registered-" + std::to_string(registered) + "-" + std::to_string(kb) + ".lst");
        bench::WriteFile(path, bench::MakeLstFor(records, 35));
        return files.emplace(std::make_pair(registered, kb), path).first->second;
    }
    const std::vector<std::string>& SortedIds() {
        if (sorted.empty()) {
            sorted = ids;
            std::sort(sorted.begin(), sorted.end());
        }
        return sorted;
    }
    // The text as another program puts it on the clipboard: UTF-8, LF line ends.
    const std::pair<std::string, std::size_t>& Text(int kind, int kb) {
        auto it = texts.find({kind, kb});
        if (it != texts.end()) return it->second;
        std::string text;
        const std::size_t bytes = static_cast<std::size_t>(kb) << 10;
        if (kind == kIdList)
            text = WithLfEnds(IdText(Ids(kb), bytes));
        else if (kind == kForum)
            text = WithLfEnds(bench::MakeForumText(bytes, 512, 36));
        else
            text = OneLine(bench::MakeForumText(bytes, 512, 36));
        const std::string path =
            ws.File("clip-" + std::to_string(kind) + "-" + std::to_string(kb) + ".txt");
        bench::WriteFile(path, Cp932ToUtf8(text));
        return texts.emplace(std::make_pair(kind, kb), std::make_pair(path, text.size()))
            .first->second;
    }
    CProbeFrame* Frame(const std::string& lstPath) {
        if (!app) {
            ::setenv("QT_QPA_PLATFORM", "xcb", 1);
            afx_ui::EnsureApplication();
            app = std::make_unique<CWinApp>("Velkon95");
            app->SetRegistryKey("Brambl Free Software");
            app->AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CVelkonDoc),
                                                       RUNTIME_CLASS(CProbeFrame),
                                                       RUNTIME_CLASS(CVelkonView)));
        }
        // The last run's pickups changed the records; start again from the file, unasked.
        if (auto* frame = dynamic_cast<CFrameWnd*>(app->m_pMainWnd))
            if (auto* doc = frame->GetActiveDocument()) doc->SetModifiedFlag(FALSE);
        app->OpenDocumentFile(lstPath.c_str());
        auto* frame = static_cast<CProbeFrame*>(app->m_pMainWnd);
        // The pickup list outlives the file: empty it, so each run finds every ID anew.
        static_cast<CVelkonDoc*>(frame->GetActiveDocument())->ClearPickup();
        frame->ShowWindow(SW_SHOW);
        // The list of a freshly opened file is laid out and painted before the copy comes.
        const auto settled = Clock::now() + std::chrono::milliseconds(300);
        while (Clock::now() < settled) {
            afx_ui::ProcessEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return frame;
    }
    ~Harness() {
        if (!app) return;
        if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
        app->ExitInstance();
        afx_ui::ProcessEvents();
    }
};

Harness* g_harness = nullptr;  // made by the first benchmark, ended in main

Harness& TheHarness() {
    if (!g_harness) g_harness = new Harness;
    return *g_harness;
}

// Runs xclip with the arguments, its standard input from `input` (or /dev/null) and its output
// to /dev/null; the process id, or -1.
pid_t SpawnXclip(const std::vector<std::string>& args, const std::string& input) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.empty() ? "/dev/null" : input.c_str(),
                                     O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> all{"xclip", "-selection", "clipboard"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, "xclip", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

bool WaitOk(pid_t pid) {
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

long VmHwmKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmHWM:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

bool HaveX(benchmark::State& state) {
    if (std::getenv("DISPLAY")) return true;
    state.SkipWithError("no X server: run bench/clipboard.sh");
    return false;
}

// The yardstick: xclip reading the ID list back (10 or 100 MB) from another xclip that owns it.
void BM_XclipReadBack(benchmark::State& state) {
    if (!HaveX(state)) return;
    Harness& h = TheHarness();
    const int kb = static_cast<int>(state.range(0));
    const auto& [path, bytes] = h.Text(kIdList, kb);
    if (!WaitOk(SpawnXclip({"-i"}, path))) {
        state.SkipWithError("xclip -i failed");
        return;
    }
    double seconds = 0;
    int runs = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        if (!WaitOk(SpawnXclip({"-o"}, ""))) {
            state.SkipWithError("xclip -o failed");
            break;
        }
        seconds += std::chrono::duration<double>(Clock::now() - t0).count();
        ++runs;
    }
    state.counters["MB"] = static_cast<double>(bytes) / (1 << 20);
}
BENCHMARK(BM_XclipReadBack)
    ->ArgName("KB")
    ->Arg(kIdList10Mb)
    ->Arg(kIdList100Mb)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// From the copy to the last slice handed to the document: mean_ms and worst_ms from xclip's
// start (its own start and reading of the file included), after_copy_ms from the moment the
// program heard the selection change hands; fetch_ms is the part up to the text's first piece,
// arrived_ms up to a wake-up that found all of it there,
// pickup_ms the time the UI thread spent taking slices, in `wakeups` wake-ups. xclip runs
// beside the window's event loop, as another program would.
void RunPickup(benchmark::State& state, Harness& h, int kind, int kb, Registered registered) {
    const auto& [path, bytes] = h.Text(kind, kb);
    const std::string& lst = h.LstFile(registered, kind == kIdList ? kb : kIdList10Mb);
    double seconds = 0, worstMs = 0, worstGapMs = 0, fetchSeconds = 0, handlerMs = 0;
    double afterCopySeconds = 0, worstAfterCopyMs = 0, arrivedSeconds = 0, xclipSeconds = 0;
    long wakeups = 0;
    int picked = 0, runs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CProbeFrame* frame = h.Frame(lst);
        frame->StartProbe();
        state.ResumeTiming();

        const auto t0 = Clock::now();
        const pid_t xclip = SpawnXclip({"-i"}, path);
        // xclip's first process ends once the selection is its background process's.
        std::atomic<bool> xclipOk{false};
        std::thread reaper([&] { xclipOk = WaitOk(xclip); });
        afx_ui::RunEventLoop();
        reaper.join();
        const auto t1 = frame->lastChunk;

        state.PauseTiming();
        if (!xclipOk || !frame->Done()) {
            state.SkipWithError(xclipOk ? "no pickup run" : "xclip failed");
            break;
        }
        const double s = std::chrono::duration<double>(t1 - t0).count();
        seconds += s;
        fetchSeconds += std::chrono::duration<double>(frame->runStart - t0).count();
        arrivedSeconds += std::chrono::duration<double>(frame->textEnded - t0).count();
        const double afterCopy = std::chrono::duration<double>(t1 - frame->copied).count();
        afterCopySeconds += afterCopy;
        worstAfterCopyMs = std::max(worstAfterCopyMs, afterCopy * 1000);
        handlerMs += Ms(frame->inHandler);
        wakeups += frame->wakeups;
        worstMs = std::max(worstMs, s * 1000);
        worstGapMs = std::max(worstGapMs, Ms(frame->longestGap));
        picked = static_cast<CVelkonDoc*>(frame->GetActiveDocument())->m_astrPickupID.GetSize();
        ++runs;
        // The yardstick right after each run, from the same owner, so that a machine that
        // slows down or speeds up meanwhile moves both alike.
        if (kind == kIdList) {
            const auto x0 = Clock::now();
            if (!WaitOk(SpawnXclip({"-o"}, ""))) {
                state.SkipWithError("xclip -o failed");
                break;
            }
            xclipSeconds += std::chrono::duration<double>(Clock::now() - x0).count();
        }
        state.ResumeTiming();
    }
    state.counters["KB"] = static_cast<double>(bytes) / 1024;
    state.counters["picked"] = picked;
    state.counters["mean_ms"] = runs ? seconds / runs * 1000 : 0;
    state.counters["worst_ms"] = worstMs;
    state.counters["fetch_ms"] = runs ? fetchSeconds / runs * 1000 : 0;
    state.counters["arrived_ms"] = runs ? arrivedSeconds / runs * 1000 : 0;
    state.counters["after_copy_ms"] = runs ? afterCopySeconds / runs * 1000 : 0;
    state.counters["worst_after_copy_ms"] = worstAfterCopyMs;
    state.counters["pickup_ms"] = runs ? handlerMs / runs : 0;
    state.counters["wakeups"] = runs ? static_cast<double>(wakeups) / runs : 0;
    state.counters["longest_gap_ms"] = worstGapMs;
    state.counters["peak_rss_MB"] = static_cast<double>(VmHwmKb()) / 1024;
    // Beside xclip reading the same text back from the same owner, right after each run.
    if (kind == kIdList && runs && xclipSeconds > 0) {
        state.counters["xclip_ms"] = xclipSeconds / runs * 1000;
        state.counters["x_xclip"] = seconds / xclipSeconds;
    }
    // A list ten times as long beside the 10 MB one on the same file kind: linear is about 10.
    if (kind == kIdList && runs) {
        h.idListMs[{kb, registered}] = seconds / runs * 1000;
        const auto small = h.idListMs.find({kIdList10Mb, registered});
        if (kb == kIdList100Mb && small != h.idListMs.end())
            state.counters["x_10MB"] = seconds / runs * 1000 / small->second;
    }
}

// Texts of every kind on the file with half the 10 MB list's IDs. Arguments: the text
// (TextKind) and its size in KB.
void BM_ClipboardPickup(benchmark::State& state) {
    if (!HaveX(state)) return;
    RunPickup(state, TheHarness(), static_cast<int>(state.range(0)),
              static_cast<int>(state.range(1)), kHalf);
}
BENCHMARK(BM_ClipboardPickup)
    ->ArgNames({"text", "KB"})
    ->Args({kForum, 30})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);
BENCHMARK(BM_ClipboardPickup)
    ->ArgNames({"text", "KB"})
    ->Args({kForum, 5120})
    ->Args({kForum, 20480})
    ->Args({kOneLine, 5120})
    ->Args({kOneLine, 20480})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// The ID list, 10 MB (100,000 IDs) and 100 MB (1,000,000), with none of its IDs registered and
// with half of them; x_xclip is the time from the copy beside xclip's reading it back, measured
// after each run. Growing with the text, the 100 MB run takes about ten times the 10 MB one
// (x_10MB).
void BM_ClipboardIdList(benchmark::State& state) {
    if (!HaveX(state)) return;
    RunPickup(state, TheHarness(), kIdList, static_cast<int>(state.range(0)),
              static_cast<Registered>(state.range(1)));
}
BENCHMARK(BM_ClipboardIdList)
    ->ArgNames({"KB", "registered"})
    ->Args({kIdList10Mb, kNone})
    ->Args({kIdList10Mb, kHalf})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_ClipboardIdList)
    ->ArgNames({"KB", "registered"})
    ->Args({kIdList100Mb, kNone})
    ->Args({kIdList100Mb, kHalf})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
    AfxSetResourceTables(res::Tables());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete g_harness;
    return 0;
}
