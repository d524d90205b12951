// Picking IDs out of text. Text arrives from a session log or the clipboard in large pieces, and
// the list of picked IDs grows to tens of thousands in a busy session.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <random>

#include "bench/BenchDocs.h"

namespace {

// Handles found; a scan that stopped finding them would also change what is measured.
int HandleCount(const CVelkonDoc& doc) {
    int n = 0;
    for (int p = 0; p < doc.m_aPickupHandles.GetSize(); ++p)
        n += doc.m_aPickupHandles[p]->GetSize();
    return n;
}

// Ordinary forum text, an ID about every 2 KB: almost all the time goes to scanning.
void BM_PickupText_Forum(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0)) << 20;
    static std::map<std::size_t, std::string> texts;
    auto it = texts.find(bytes);
    if (it == texts.end()) it = texts.emplace(bytes, bench::MakeForumText(bytes, 2048, 7)).first;
    const std::string& text = it->second;
    bench::ReleaseCachedDocument();
    CVelkonDoc doc;
    CString buffer;
    for (auto _ : state) {
        state.PauseTiming();
        doc.ClearPickup();
        buffer = CString(text);
        state.ResumeTiming();
        doc.PickupText(buffer);
    }
    state.counters["picked"] = doc.m_astrPickupID.GetSize();
    state.counters["handles"] = HandleCount(doc);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_PickupText_Forum)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

// A member list pasted in: one ID and handle after another, every ID new. The argument is the
// percentage of the IDs that have a record in the document.
void BM_PickupText_DistinctIds(benchmark::State& state) {
    constexpr std::size_t kIds = 100000;
    const auto registeredPercent = static_cast<std::size_t>(state.range(0));
    static const std::vector<std::string> ids = bench::DistinctIds(kIds, 11);
    static const std::string text = bench::MakeIdHandleText(ids, 12);

    const std::size_t registered = kIds * registeredPercent / 100;
    CVelkonDoc* doc = bench::CachedDocument("pickup-registered-" + std::to_string(registered), [&] {
        // Records in an order of their own, not that of the text.
        std::vector<std::string> recordIds(ids.begin(), ids.begin() + registered);
        std::shuffle(recordIds.begin(), recordIds.end(), std::mt19937_64(13));
        const std::string path = bench::TheWorkspace().File("registered.lst");
        bench::WriteFile(path, bench::MakeLstFor(recordIds, 14));
        return bench::OpenDocument(path);
    });
    if (!doc) {
        state.SkipWithError("cannot open the record file");
        return;
    }
    CString buffer;
    for (auto _ : state) {
        state.PauseTiming();
        doc->ClearPickup();
        buffer = CString(text);
        state.ResumeTiming();
        doc->PickupText(buffer);
    }
    state.counters["picked"] = doc->m_astrPickupID.GetSize();
    state.counters["handles"] = HandleCount(*doc);
    state.counters["records"] = doc->GetRecordCount();
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kIds));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_PickupText_DistinctIds)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

// Text that arrives a piece at a time and waits for its line end: the clipboard's 256-byte
// slices of forum text with its line ends (CR LF, as the clipboard hands them over whatever the
// other program wrote), and of the same text without a single line end. The time grows with
// the text, and what waits stays under the limit.
void BM_PickupText_Slices(benchmark::State& state) {
    const bool lines = state.range(0) != 0;
    const auto bytes = static_cast<std::size_t>(state.range(1)) << 20;
    std::string text = bench::MakeForumText(bytes, 2048, 8);
    if (!lines)
        for (char& c : text)
            if (c == '\r' || c == '\n') c = ' ';
    bench::ReleaseCachedDocument();
    CVelkonDoc doc;
    std::size_t waitingMax = 0;
    for (auto _ : state) {
        state.PauseTiming();
        doc.ClearPickup();
        CString pending;
        state.ResumeTiming();
        for (std::size_t pos = 0; pos < text.size(); pos += 256) {
            const std::string_view slice = std::string_view(text).substr(pos, 256);
            pending += CString(slice);
            doc.PickupText(pending, slice.size(), CVelkonDoc::kMaxWaitingText);
            waitingMax = std::max(waitingMax, static_cast<std::size_t>(pending.GetLength()));
        }
    }
    state.counters["picked"] = doc.m_astrPickupID.GetSize();
    state.counters["waiting_max_KB"] = static_cast<double>(waitingMax) / 1024;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_PickupText_Slices)
    ->ArgNames({"lines", "MB"})
    ->ArgsProduct({{1, 0}, {4, 8, 16, 20}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
