// Reads the text of the X11 CLIPBOARD selection over a connection of its own, so that any thread
// may wait for the selection's owner, however slow or large its answer, without holding up the
// window's event loop.
#pragma once

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace x11sel {

// A larger text is given up: memory stays bounded whatever an owner sends.
constexpr std::size_t kMaxTransferBytes = std::size_t{256} << 20;

// The clipboard's text in UTF-8, in the best form its owner offers (UTF8_STRING,
// text/plain;charset=utf-8, COMPOUND_TEXT, TEXT, STRING), or nothing: no X display, no owner,
// no text, a text over maxBytes, an owner that stops answering for `timeoutMs`, or `stop` set
// while waiting or decoding.
std::optional<std::string> ReadClipboardText(const std::atomic<bool>& stop, int timeoutMs,
                                             std::size_t maxBytes = kMaxTransferBytes);

}  // namespace x11sel
