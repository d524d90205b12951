// Reads the text of the X11 CLIPBOARD selection over a connection of its own, so that any thread
// may wait for the selection's owner, however slow or large its answer, without holding up the
// window's event loop.
#pragma once

#include <atomic>
#include <optional>
#include <string>

namespace x11sel {

// The clipboard's text in UTF-8, or nothing: no X display, no owner, no text, an owner that
// stops answering for `timeoutMs`, or `stop` set while waiting.
std::optional<std::string> ReadClipboardText(const std::atomic<bool>& stop, int timeoutMs);

}  // namespace x11sel
