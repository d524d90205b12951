// The clipboard's text made the program's own, per form an owner may offer: COMPOUND_TEXT in
// ISO 8859 sets and in JIS X 0208 beside the same text as UTF8_STRING (MB/s of the text as it
// came), and the memory the UTF-8 path takes at its peak for each MB of text.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>

#include "platform/base/CodePage.h"
#include "platform/base/CompoundText.h"

namespace {

constexpr std::size_t kTextBytes = 4 << 20;

// Forum lines in Latin-2 with IDs, as COMPOUND_TEXT (ESC - B, then the bytes) and as UTF-8.
struct Texts {
    std::string compound;
    std::string utf8;
};

const Texts& Latin2() {
    static const Texts texts = [] {
        Texts t;
        std::string latin2;
        for (int i = 0; latin2.size() < kTextBytes; ++i)
            latin2 += "ABC" + std::to_string(10000 + i % 90000) +
                      " Dobr\xFD den, \xE8\xE9sk\xFD \xB9\xE8\xF8 \xBE\xE1k\n";
        t.compound = "\x1B-B" + latin2;
        t.utf8 = *compound_text::ToUtf8(t.compound);
        return t;
    }();
    return texts;
}

const Texts& Japanese() {
    static const Texts texts = [] {
        Texts t;
        t.compound = "\x1B$)B";
        const std::string euc = "\xC0\xC4\xA4\xA4\xB6\xF5\xA4\xCE\xB2\xBC\xA4\xC7";  // 青い空の下で
        for (int i = 0; t.compound.size() < kTextBytes; ++i)
            t.compound += "ABC" + std::to_string(10000 + i % 90000) + " " + euc + "\n";
        t.utf8 = *compound_text::ToUtf8(t.compound);
        return t;
    }();
    return texts;
}

// What the clipboard layer does with a fetched UTF-8 text.
void MakeProgramText(std::string& text) {
    text = Utf8ToCp932CrLf(std::move(text));
}

void Decode(benchmark::State& state, const Texts& texts, bool compound) {
    for (auto _ : state) {
        std::string text = compound ? *compound_text::ToUtf8(texts.compound) : texts.utf8;
        MakeProgramText(text);
        benchmark::DoNotOptimize(text.data());
    }
    const std::size_t bytes = compound ? texts.compound.size() : texts.utf8.size();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_CompoundTextLatin2(benchmark::State& state) {
    Decode(state, Latin2(), true);
}
void BM_Utf8StringLatin2(benchmark::State& state) {
    Decode(state, Latin2(), false);
}
void BM_CompoundTextJapanese(benchmark::State& state) {
    Decode(state, Japanese(), true);
}
void BM_Utf8StringJapanese(benchmark::State& state) {
    Decode(state, Japanese(), false);
}
BENCHMARK(BM_CompoundTextLatin2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf8StringLatin2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompoundTextJapanese)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf8StringJapanese)->Unit(benchmark::kMillisecond);

// Resident kB by the name /proc/self/status gives it (VmRSS, VmHWM).
long StatusKb(const std::string& name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(name + ":", 0) == 0) return std::stol(line.substr(name.size() + 1));
    return -1;
}

// A text of IDs (LF line ends) as the transfer leaves it, made the program's own: the peak above
// what was resident before (the fetched text counted), per MB of text. Resetting the peak needs
// /proc/self/clear_refs; without it the counter says -1.
void BM_Utf8PathPeakPerMB(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0)) << 20;
    double perMb = -1;
    for (auto _ : state) {
        state.PauseTiming();
        const long before = StatusKb("VmRSS");
        std::string text;
        text.reserve(bytes);
        for (int i = 0; text.size() + 10 <= bytes; ++i)
            text += "ABC" + std::to_string(10000 + i % 90000) + "\n";
        const bool reset = static_cast<bool>(std::ofstream("/proc/self/clear_refs") << "5");
        state.ResumeTiming();
        MakeProgramText(text);
        benchmark::DoNotOptimize(text.data());
        state.PauseTiming();
        const long peak = StatusKb("VmHWM");
        if (reset && before >= 0 && peak >= 0)
            perMb = static_cast<double>(peak - before) / 1024.0 / static_cast<double>(bytes >> 20);
        text = std::string();
        state.ResumeTiming();
    }
    state.counters["peak_MB_per_MB"] = perMb;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_Utf8PathPeakPerMB)->Arg(64)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
