// Guards the scan of another program's UTF-8 as it comes: whatever bytes it holds and however
// they are cut, it finds the IDs and handles that the scan of the same text made CP932 finds,
// and a long line waiting for its end is scanned in pieces without a fault.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "database/PickupScanner.h"
#include "fuzz/FuzzSupport.h"
#include "platform/base/CodePage.h"

namespace {

bool Same(const CFoundIds& a, const CFoundIds& b) {
    if (a.Size() != b.Size()) return false;
    for (std::size_t i = 0; i < a.Size(); ++i)
        if (a.Id(i) != b.Id(i) || a.Handle(i) != b.Handle(i)) return false;
    return true;
}

// The text in pieces of 1 to 64 bytes, cut where `seed` says, as the clipboard's worker takes it.
CFoundIds ScanInPieces(std::string_view text, std::uint8_t seed, std::size_t nMaxWaiting) {
    CFoundIds found;
    std::string line;
    bool zeroPending = false;
    std::uint32_t state = seed;
    for (std::size_t at = 0; at < text.size();) {
        state = state * 1103515245u + 12345u;
        const std::size_t n = std::min<std::size_t>(1 + (state >> 16) % 64, text.size() - at);
        const std::size_t before = line.size();
        pickup_scan::AppendUtf8Piece(line, text.substr(at, n), zeroPending);
        at += n;
        const std::size_t done =
            pickup_scan::ScanUtf8Text(line, line.size() - before, nMaxWaiting, found);
        FUZZ_CHECK(done <= line.size());
        line.erase(0, done);
        FUZZ_CHECK(nMaxWaiting == std::string::npos || line.size() <= nMaxWaiting + 128);
    }
    return found;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1u << 16)) return 0;
    const std::string text =
        std::string(reinterpret_cast<const char*>(data) + 1, size - 1) + "\r\n";
    CFoundIds expected;
    const std::string cp932 = Utf8ToCp932CrLf(text.substr(0, text.size() - 2)) + "\r\n";
    pickup_scan::ScanText(cp932, cp932.size(), std::string::npos, expected);
    FUZZ_CHECK(Same(ScanInPieces(text, data[0], std::string::npos), expected));
    // A small limit on what waits for a line end: only that nothing breaks.
    ScanInPieces(text, data[0], 512);
    return 0;
}
