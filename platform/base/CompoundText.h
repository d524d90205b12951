// COMPOUND_TEXT, the ISO 2022 text older X programs put on the clipboard, in UTF-8. It needs no
// X connection, so it lives here, where a fuzzer can reach it.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace compound_text {

// The text in UTF-8: ASCII and the Latin sets, JIS X 0201 and 0208, GB 2312, KS C 5601, UTF-8
// segments and the usual extended segments. A character of a set it does not know, or one cut
// short, becomes "?"; control characters but tab and LF go (zero bytes too). Each stretch of
// one character set is converted whole, so the time grows with the text alone. Nothing when
// `stop` is set before the end (it is looked at every few KB). `done`, at the same moments,
// gets how many bytes of the text will not be read again: a caller may give their memory back.
std::optional<std::string> ToUtf8(std::string_view text, const std::atomic<bool>* stop = nullptr,
                                  const std::function<void(std::size_t)>& done = {});

}  // namespace compound_text
