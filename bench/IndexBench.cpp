// Looking an ID up among the records and among the picked IDs: done for every ID found in text,
// so it has to stay fast as the lists grow.
#include <benchmark/benchmark.h>

#include <random>

#include "bench/BenchDocs.h"

namespace {

constexpr std::size_t kQueries = 4096;  // a power of two
// A few IDs asked for again and again stay in the processor's cache: what remains is the cost
// of the search itself, without the memory latency of a list larger than the cache.
constexpr std::size_t kHotQueries = 16;

// The benchmark function runs several times per size while the iteration count is settled;
// a million IDs take long enough to make that they are made once per size.
const std::vector<std::string>& Ids(std::size_t n, std::uint64_t seed) {
    static std::size_t lastN = 0;
    static std::uint64_t lastSeed = 0;
    static std::vector<std::string> ids;
    if (n != lastN || seed != lastSeed) {
        ids = bench::DistinctIds(n, seed);
        lastN = n;
        lastSeed = seed;
    }
    return ids;
}

// IDs to look up, all present, in an order unrelated to the list's.
std::vector<CString> Queries(const std::vector<std::string>& ids) {
    std::mt19937_64 rng(21);
    std::uniform_int_distribution<std::size_t> pick(0, ids.size() - 1);
    std::vector<CString> queries;
    for (std::size_t i = 0; i < kQueries; ++i) queries.emplace_back(ids[pick(rng)]);
    return queries;
}

template <std::size_t kSet>
void BM_FindID(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::vector<std::string>& ids = Ids(n, 31);
    CVelkonDoc* doc = bench::CachedDocument("find-id-" + std::to_string(n), [&] {
        const std::string path = bench::TheWorkspace().File("find.lst");
        bench::WriteFile(path, bench::MakeLstFor(ids, 32));
        return bench::OpenDocument(path);
    });
    if (!doc) {
        state.SkipWithError("cannot open the record file");
        return;
    }
    const std::vector<CString> queries = Queries(ids);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(doc->FindID(queries[i++ & (kSet - 1)]));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FindID<kQueries>)
    ->Name("BM_FindID")
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Complexity(benchmark::oLogN);
BENCHMARK(BM_FindID<kHotQueries>)
    ->Name("BM_FindID_Cached")
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Complexity(benchmark::oLogN);

template <std::size_t kSet>
void BM_FindPickup(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::vector<std::string>& ids = Ids(n, 41);
    CVelkonDoc* doc = bench::CachedDocument("find-pickup-" + std::to_string(n), [&] {
        auto d = std::make_unique<CVelkonDoc>();
        for (const std::string& id : ids) d->PickupID(CString(id), CString());
        return d;
    });
    if (!doc) {
        state.SkipWithError("cannot make the pickup list");
        return;
    }
    const std::vector<CString> queries = Queries(ids);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(doc->FindPickup(queries[i++ & (kSet - 1)]));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FindPickup<kQueries>)
    ->Name("BM_FindPickup")
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Complexity(benchmark::oLogN);
BENCHMARK(BM_FindPickup<kHotQueries>)
    ->Name("BM_FindPickup_Cached")
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Complexity(benchmark::oLogN);

}  // namespace
