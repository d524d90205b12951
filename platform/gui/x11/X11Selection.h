// Reads the text of the X11 CLIPBOARD selection over a connection of its own, so that any thread
// may wait for the selection's owner, however slow or large its answer, without holding up the
// window's event loop.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace x11sel {

// A larger text is given up: memory stays bounded whatever an owner sends.
constexpr std::size_t kMaxTransferBytes = std::size_t{256} << 20;

// Where the text goes as it arrives, in UTF-8 and in order.
class TextSink {
public:
    virtual ~TextSink() = default;
    // The owner sends its text in pieces and announced this many bytes of it at least.
    virtual void Expect(std::size_t bytes) = 0;
    virtual void Take(std::string_view utf8) = 0;
};

enum class Outcome {
    kNone,   // no text: no X display, no owner, no text, a text announced over the limit, or no
             // answer in time
    kWhole,  // all of it went to the sink
    kCut,    // part of it went to the sink, then the owner stopped answering, the text passed
             // the limit or `stop` was set
};

// What a thread reads the clipboard through, kept from one reading to the next: one X
// connection, and a window for each reading that stays a while after it. A reading given up
// for a newer copy may already have been asked of that copy's owner, which then answers into
// the given-up reading's window; were the window gone, the owner's request would fail, and an
// owner on Xlib's default error handler (xclip) ends there, taking the newest copy with it.
// For one thread at a time.
class Requestor {
public:
    // The windows of the last readings kept; an owner that takes longer than this many newer
    // readings to answer finds its window gone.
    static constexpr std::size_t kKeptWindows = 8;

    Requestor();
    ~Requestor();
    Requestor(const Requestor&) = delete;
    Requestor& operator=(const Requestor&) = delete;

    // The clipboard's text in the best form its owner offers (UTF8_STRING,
    // text/plain;charset=utf-8, COMPOUND_TEXT, TEXT, STRING), made UTF-8. UTF-8 the owner sends
    // in pieces goes to the sink piece by piece as it arrives; other forms once decoded whole.
    // Gives up when `stop` is set or the owner is silent for timeoutMs. The connection is
    // opened at the first reading (again at the next, when there was no display).
    Outcome ReadClipboardText(TextSink& sink, const std::atomic<bool>& stop, int timeoutMs,
                              std::size_t maxBytes = kMaxTransferBytes);

private:
    struct Windows;
    std::unique_ptr<Windows> m_windows;
};

}  // namespace x11sel
