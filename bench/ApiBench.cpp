// A 32-bit IDAPI_EXISTS against the real program in a process of its own (offscreen): a
// mapping made, duplicated into the program, sent and answered, as velkonctl does it. Reports
// the median and 90th percentile of single round trips and the requests per second sustained.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tools/velkonctl/VelkonClient.h"

extern char** environ;

namespace {

struct Program {
    pid_t pid = -1;
    std::string dir;
    ~Program() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        if (!dir.empty()) std::filesystem::remove_all(dir);
    }
};

// Starts the program on a private runtime and settings folder and waits for its window.
bool Start(Program& program, velkon_client::CVelkonClient& client) {
    char pattern[] = "/tmp/velkon-apibench-XXXXXX";
    if (!::mkdtemp(pattern)) return false;
    program.dir = pattern;
    ::setenv("XDG_RUNTIME_DIR", program.dir.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (program.dir + "/config").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string path = program.dir + "/id.lst";
    char exe[] = VELKON95;
    char* argv[] = {exe, path.data(), nullptr};
    if (::posix_spawn(&program.pid, VELKON95, nullptr, nullptr, argv, environ) != 0) return false;
    for (int i = 0; i < 200; ++i) {
        if (client.Connect()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

void BM_Api32ExistsRoundTrip(benchmark::State& state) {
    Program program;
    velkon_client::CVelkonClient client;
    if (!Start(program, client) || !client.Register("ABC12345", {})) {
        state.SkipWithError("the program did not start");
        return;
    }
    std::vector<double> micros;
    micros.reserve(static_cast<std::size_t>(state.max_iterations));
    int failures = 0;
    const auto begin = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        failures += client.Exists("ABC12345").value == 1 ? 0 : 1;
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p90_us"] = micros[micros.size() * 9 / 10];
    state.counters["requests_per_s"] = static_cast<double>(micros.size()) / seconds;
    state.counters["failures"] = failures;
}
BENCHMARK(BM_Api32ExistsRoundTrip)->Iterations(20000)->Unit(benchmark::kMicrosecond);

}  // namespace
