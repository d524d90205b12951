// The window socket of the real program under load, in a process of its own (offscreen): 1,000
// clients that connect and say nothing, some after two bytes of a frame, and 100 that send
// WM_IDAPI_PRESENT as fast as they are answered. Reports the requests per second the busy ones
// get, how many of them were answered at all, and the program's descriptors and resident
// memory before the load and after it (flat: nothing kept per client that left).
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/RunningProgram.h"
#include "database/VelkonApiDefs.h"
#include "platform/ipc/SocketPaths.h"
#include "platform/ipc/WindowClient.h"

namespace {

constexpr int kIdle = 1000;
constexpr int kBusy = 100;
constexpr auto kLoad = std::chrono::seconds(3);

int Descriptors(pid_t pid) {
    int n = 0;
    if (DIR* d = ::opendir(("/proc/" + std::to_string(pid) + "/fd").c_str())) {
        while (const dirent* e = ::readdir(d)) n += e->d_name[0] != '.';
        ::closedir(d);
    }
    return n;
}

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

void BM_PresentWithBusyAndIdleClients(benchmark::State& state) {
    RunningProgram program;
    if (!program.Start(VELKON95, "loadbench",
                       [] { return winlink::Client::Connect(VELKON_FRAME_CLASS) != nullptr; })) {
        state.SkipWithError("the program did not start");
        return;
    }
    const pid_t pid = program.Pid();
    sockaddr_un addr{};
    winlink::MakeAddress(winlink::SocketPath(VELKON_FRAME_CLASS), addr);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const int fdsAtStart = Descriptors(pid);
    const long rssAtStart = ResidentKb(pid);
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const int fdsBefore = Descriptors(pid);
        const long rssBefore = ResidentKb(pid);

        std::vector<int> idle;
        for (int i = 0; i < kIdle; ++i) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
                ::close(fd);
                continue;
            }
            if (i % 2 && ::write(fd, "\x14\0", 2) != 2) {
                // a half frame is all this client is for; a full socket changes nothing
            }
            idle.push_back(fd);
        }
        std::atomic<long> answered{0}, failed{0};
        std::atomic<int> served{0};
        const auto end = std::chrono::steady_clock::now() + kLoad;
        std::vector<std::thread> busy;
        for (int i = 0; i < kBusy; ++i) {
            busy.emplace_back([&] {
                auto client = winlink::Client::Connect(VELKON_FRAME_CLASS);
                bool any = false;
                while (std::chrono::steady_clock::now() < end) {
                    LRESULT result = 0;
                    if (!client || !client->Send({WM_IDAPI_PRESENT, 0, 0, {}}, result) ||
                        result != 1) {
                        ++failed;
                        client = winlink::Client::Connect(VELKON_FRAME_CLASS);
                        continue;
                    }
                    ++answered;
                    any = true;
                }
                served += any;
            });
        }
        for (std::thread& t : busy) t.join();
        const double seconds = std::chrono::duration<double>(kLoad).count();
        for (int fd : idle) ::close(fd);
        // The program notices the clients that left at its next turn.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        state.counters["requests/s"] = static_cast<double>(answered) / seconds;
        state.counters["busy_served"] = served.load();
        state.counters["failed_sends"] = static_cast<double>(failed);
        state.counters["idle_held"] = static_cast<double>(idle.size());
        state.counters["fds_before"] = fdsBefore;
        state.counters["fds_after"] = Descriptors(pid);
        state.counters["rss_kb_before"] = static_cast<double>(rssBefore);
        state.counters["rss_kb_after"] = static_cast<double>(ResidentKb(pid));
    }
    state.counters["fds_at_start"] = fdsAtStart;
    state.counters["rss_kb_at_start"] = static_cast<double>(rssAtStart);
}
BENCHMARK(BM_PresentWithBusyAndIdleClients)->Iterations(3)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
