// A 32-bit IDAPI_EXISTS against the real program in a process of its own (offscreen): a
// mapping made, duplicated into the program, sent and answered, as velkonctl does it. Reports
// the median and 90th percentile of single round trips and the requests per second sustained.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "bench/RunningProgram.h"
#include "tools/velkonctl/VelkonClient.h"

namespace {

void BM_Api32ExistsRoundTrip(benchmark::State& state) {
    RunningProgram program;
    velkon_client::CVelkonClient client;
    if (!program.Start(VELKON95, "apibench", [&] { return client.Connect(); }) ||
        !client.Register("ABC12345", {})) {
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
