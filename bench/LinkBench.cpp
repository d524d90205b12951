// The terminal link both ways. A text handed to a terminal window of another process: a 4 KB
// mapping made, duplicated into that process and sent with one message, as the terminal link
// sends a line; the peer is a child process that maps, reads and closes what it gets. And what a
// terminal session prints, arriving at the main window 4 KB at a time as a terminal reads it, is
// picked up: with line ends, and without any (a full-screen program), in time that grows with
// the text and with the text waiting for its line end kept small. And the longest text one
// message brings, full of the sequences that steer a terminal: the time the window is held and
// the memory it takes meanwhile.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchData.h"
#include "document/VelkonDoc.h"
#include "frame/HidetermCtrlFrame.h"
#include "frame/MainFrame.h"
#include "listview/VelkonView.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/document/CDocTemplate.h"
#include "platform/gui/window/CWnd.h"
#include "platform/gui/window/UiHooks.h"
#include "platform/ipc/Kernel.h"
#include "platform/ipc/MappingTransfer.h"
#include "platform/ipc/WinClass.h"
#include "platform/ipc/WindowClient.h"
#include "platform/ipc/WindowServer.h"
#include "res/resource.h"

namespace {

constexpr UINT kSendText = 0x400 + 51;
constexpr const char* kClass = "BenchTermClass";

int OpenFdCount() {
    int n = 0;
    DIR* dir = ::opendir("/proc/self/fd");
    while (dirent* e = ::readdir(dir))
        if (e->d_name[0] != '.') ++n;
    ::closedir(dir);
    return n - 1;
}

// The peer serves until the pipe from the benchmark closes.
void ServePeer(int quitFd) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const auto serve = [](const winlink::Request& r) -> LRESULT {
        if (r.msg != kSendText) return 1;
        const auto h = reinterpret_cast<HANDLE>(r.lParam);
        LRESULT sum = 0;
        if (LPVOID view = MapViewOfFile(h, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
            sum = static_cast<unsigned char>(static_cast<const char*>(view)[r.wParam - 1]);
            UnmapViewOfFile(view);
        }
        CloseHandle(h);
        return sum;
    };
    auto server = winlink::Server::Listen(kClass, serve, afx_kernel::PassedMappings());
    if (!server) ::_exit(1);
    const char ready = 'r';
    if (::write(quitFd, &ready, 1) != 1) ::_exit(1);
    for (;;) {
        std::vector<pollfd> extra{{quitFd, POLLIN, 0}};
        server->Dispatch(1000, extra);
        if (extra[0].revents) ::_exit(0);
    }
}

bool SendText(HWND hwnd, const std::string& text) {
    const HANDLE duplicated =
        AfxShareMappingWith(hwnd, text.c_str(), text.size() + 1, text.size() + 1);
    return duplicated && SendMessage(hwnd, kSendText, text.size(),
                                     reinterpret_cast<LPARAM>(duplicated)) == text.back();
}

// Median and 90th percentile of the single round trips, besides the mean the library reports.
void BM_RemoteSendMessage4KMapping(benchmark::State& state) {
    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        state.SkipWithError("no socket pair");
        return;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(sockets[0]);
        ServePeer(sockets[1]);
    }
    ::close(sockets[1]);
    char ready;
    const HWND hwnd = ::read(sockets[0], &ready, 1) == 1 ? FindWindow(kClass, nullptr) : nullptr;
    const std::string text(4095, 'A');
    if (!hwnd || !SendText(hwnd, text)) {
        state.SkipWithError("no peer");
    } else {
        std::vector<double> micros;
        micros.reserve(10000);
        const int fdsBefore = OpenFdCount();
        int failures = 0;
        for (auto _ : state) {
            const auto start = std::chrono::steady_clock::now();
            failures += SendText(hwnd, text) ? 0 : 1;
            micros.push_back(
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                    .count());
        }
        std::sort(micros.begin(), micros.end());
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["p90_us"] = micros[micros.size() * 9 / 10];
        state.counters["failures"] = failures;
        state.counters["fds_before"] = fdsBefore;
        state.counters["fds_after"] = OpenFdCount();
    }
    ::close(sockets[0]);
    ::waitpid(child, nullptr, 0);
}
BENCHMARK(BM_RemoteSendMessage4KMapping)->Iterations(10000)->Unit(benchmark::kMicrosecond);

// The main window of a new document, made once for the terminal benchmarks.
CMainFrame* TerminalFrame() {
    static CMainFrame* frame = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        afx_ui::EnsureApplication();
        CWinApp* app = AfxGetApp();
        app->AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CVelkonDoc),
                                                   RUNTIME_CLASS(CMainFrame),
                                                   RUNTIME_CLASS(CVelkonView)));
        app->OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr);
        afx_ui::ProcessEvents();
        return dynamic_cast<CMainFrame*>(app->m_pMainWnd);
    }();
    return frame;
}

// One WM_HT_TEXT as the terminal sends it: the bytes in a mapping of their own, zero-terminated.
void ReceiveFromTerminal(CMainFrame* frame, std::string_view piece) {
    const HANDLE h = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       static_cast<DWORD>(piece.size() + 1), nullptr);
    if (!h) return;
    if (LPVOID view = MapViewOfFile(h, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
        std::memcpy(view, piece.data(), piece.size());
        static_cast<char*>(view)[piece.size()] = 0;
        UnmapViewOfFile(view);
    }
    frame->SendMessage(WM_HT_TEXT, reinterpret_cast<WPARAM>(h));
}

// Arguments: 1 for a session's output with LF line ends (as a program in raw mode writes them),
// 0 for one without any line end; its size in MB. Sent 4 KB at a time.
void BM_TerminalPickup(benchmark::State& state) {
    const bool lines = state.range(0) != 0;
    const auto bytes = static_cast<std::size_t>(state.range(1)) << 20;
    std::string text = bench::MakeForumText(bytes, 512, 41);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i] == '\n' && !lines ? ' ' : text[i];
    }
    text = std::move(out);
    CMainFrame* frame = TerminalFrame();
    if (!frame) {
        state.SkipWithError("no main window");
        return;
    }
    auto* doc = static_cast<CVelkonDoc*>(frame->GetActiveDocument());
    std::size_t waitingMax = 0;
    for (auto _ : state) {
        state.PauseTiming();
        doc->ClearPickup();
        frame->m_strHidetermText.Empty();
        state.ResumeTiming();
        for (std::size_t pos = 0; pos < text.size(); pos += 4096) {
            ReceiveFromTerminal(frame, std::string_view(text).substr(pos, 4096));
            waitingMax = std::max(waitingMax,
                                  static_cast<std::size_t>(frame->m_strHidetermText.GetLength()));
        }
    }
    state.counters["picked"] = doc->m_astrPickupID.GetSize();
    state.counters["waiting_max_KB"] = static_cast<double>(waitingMax) / 1024;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_TerminalPickup)
    ->ArgNames({"lines", "MB"})
    ->Args({1, 5})
    ->Args({1, 20})
    ->Args({0, 5})
    ->Args({0, 20})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// A field of /proc/self/status in KB (VmRSS, VmHWM).
long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field) + 1);
    return -1;
}

// The peak resident size starts again from the present one (Linux 4.0 and later).
bool ResetPeakRss() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return clear.good();
}

// Argument 0: one message of the longest text the window reads (HIDETERM_MAX_TEXT), forum lines
// with colours, titles and the terminal's clipboard between them; 1: the same in a mapping of
// 256 MB whose text goes on past the bound (read up to it, the rest a hole). Time per message,
// and how far the resident size rose above where it was while the window handled it (the
// mapping's pages it reads count too).
void BM_TerminalTextAtTheBound(benchmark::State& state) {
    const bool huge = state.range(0) != 0;
    const std::size_t bound = HIDETERM_MAX_TEXT;
    const std::string forum =
        bench::MakeForumText(bound, static_cast<std::size_t>(state.range(1)), 43);
    std::string text;
    text.reserve(bound + 4096);
    for (std::size_t pos = 0; text.size() < bound + (huge ? 4096 : 0);
         pos = (pos + 64) % forum.size()) {
        text += "\x1b[1;31m";
        text.append(forum, pos, 64);
        text += pos % 1024 == 0 ? "\x1b]52;c;ZXZpbA==\x07" : "\x1b[0m";
    }
    text.resize(huge ? bound + 4096 : bound);
    const std::size_t size = huge ? std::size_t{256} << 20 : bound + 1;
    CMainFrame* frame = TerminalFrame();
    if (!frame) {
        state.SkipWithError("no main window");
        return;
    }
    auto* doc = static_cast<CVelkonDoc*>(frame->GetActiveDocument());
    long peakKb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        doc->ClearPickup();
        frame->m_strHidetermText.Empty();
        const HANDLE h = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           static_cast<DWORD>(size), nullptr);
        if (LPVOID view = h ? MapViewOfFile(h, FILE_MAP_ALL_ACCESS, 0, 0, text.size()) : nullptr) {
            std::memcpy(view, text.data(), text.size());
            UnmapViewOfFile(view);
        }
        const bool measured = ResetPeakRss();
        const long before = StatusKb("VmRSS:");
        state.ResumeTiming();
        frame->SendMessage(WM_HT_TEXT, reinterpret_cast<WPARAM>(h));
        state.PauseTiming();
        if (measured) peakKb = std::max(peakKb, StatusKb("VmHWM:") - before);
        state.ResumeTiming();
    }
    state.counters["picked"] = doc->m_astrPickupID.GetSize();
    state.counters["peak_rise_KB"] = static_cast<double>(peakKb);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bound));
}
BENCHMARK(BM_TerminalTextAtTheBound)
    ->ArgNames({"huge", "bytes_per_id"})
    ->Args({0, 512})
    ->Args({1, 512})
    ->Args({0, 64})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);

}  // namespace
