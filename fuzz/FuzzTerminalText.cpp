// Guards the text a terminal sends: however it is cut into reads, the filter gives the same
// text as from the whole, with no control byte but tab and the CR LF of a line end in it, and
// never much more than it was given.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "platform/base/TerminalText.h"

namespace {

void CheckText(std::string_view out) {
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        FUZZ_CHECK(c >= 0x20 || c == '\t' || c == '\r' || c == '\n');
        FUZZ_CHECK(c != 0x7F);
        if (c == '\n') FUZZ_CHECK(i > 0 && out[i - 1] == '\r');
        // A CR is always the first half of a line end; the last one may wait for its LF.
        if (c == '\r' && i + 1 < out.size()) FUZZ_CHECK(out[i + 1] == '\n');
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::Init();
    return 0;
}

// The first byte sets the size of the reads (1 to 64 bytes).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t read = (data[0] & 0x3F) + 1u;

    CTerminalTextFilter whole;
    std::string all;
    FUZZ_CHECK(whole.Filter(text, all) == all.size());
    CheckText(all);
    FUZZ_CHECK(all.size() <= 2 * text.size());

    CTerminalTextFilter pieces;
    std::string cut;
    for (std::size_t pos = 0; pos < text.size(); pos += read) {
        pieces.Filter(text.substr(pos, read), cut);
        CheckText(cut);
    }
    FUZZ_CHECK(cut == all);
    return 0;
}
