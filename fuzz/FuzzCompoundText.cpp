// Guards the COMPOUND_TEXT decoder against whatever a clipboard owner sends: no crash and no read
// past the text, no zero byte in what it gives, a bounded size (no character of the sets it
// knows takes more than three bytes of UTF-8 for each byte it came in), and a stop request
// either ends the text or changes nothing of it; a short one it never ends.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "platform/base/CompoundText.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto out = compound_text::ToUtf8(text);
    FUZZ_CHECK(out.has_value());
    FUZZ_CHECK(out->find('\0') == std::string_view::npos);
    FUZZ_CHECK(out->size() <= 3 * size);
    const std::atomic<bool> stop{true};
    const auto stopped = compound_text::ToUtf8(text, &stop);
    FUZZ_CHECK(stopped.has_value() || size > 64 * 1024);
    FUZZ_CHECK(!stopped || *stopped == *out);
    return 0;
}
