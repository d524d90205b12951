// A text handed to a terminal window of another process: a 4 KB mapping made, duplicated into
// that process and sent with one message, as the terminal link sends a line. The peer is a
// child process that maps, reads and closes what it gets.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gui/CWnd.h"
#include "platform/ipc/Kernel.h"
#include "platform/ipc/MappingTransfer.h"
#include "platform/ipc/WinClass.h"
#include "platform/ipc/WindowClient.h"
#include "platform/ipc/WindowServer.h"

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
    auto server = winlink::Server::Listen(kClass, serve, afx_kernel::AdoptReceivedFd);
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

}  // namespace
