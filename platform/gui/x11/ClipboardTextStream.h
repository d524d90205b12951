// The text of one clipboard change on its way in. The thread that fetches it from the owner adds
// it a piece at a time and a reader takes it as it comes: a large text is picked up while the
// rest of it is still crossing the X connection. The pieces are the program's own text (CP932,
// CR LF), or the owner's UTF-8 as it came, which Read converts and ReadRaw does not: the
// fetching thread then only moves the bytes, and a reader that can use them as they are (the
// pickup's scan) is spared converting a text of which it keeps a few words.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>

#include "platform/base/CodePage.h"

class CClipboardTextStream {
public:
    enum class Form { kCp932, kUtf8 };
    explicit CClipboardTextStream(Form form = Form::kCp932) : m_utf8(form == Form::kUtf8) {}
    // A text already whole.
    explicit CClipboardTextStream(std::string whole);
    CClipboardTextStream(const CClipboardTextStream&) = delete;
    CClipboardTextStream& operator=(const CClipboardTextStream&) = delete;

    // The reader's side. Read waits for the next piece of text not read yet and puts it in `out`
    // (in place of what out held), CP932 with CR LF; false, with out empty, once the text has
    // ended and all of it has been read, or once the stream is cancelled. A UTF-8 piece may
    // give nothing yet (its line has not ended).
    bool Read(std::string& out);
    // The same, the pieces in the form they were added in.
    bool ReadRaw(std::string& out);
    bool IsUtf8() const { return m_utf8; }
    // Whether Read would return at once: text is waiting, or the stream has ended.
    bool Ready() const;
    // The rest of the text, waiting for its end.
    std::string ReadAll();
    // The reader wants no more: a Read under way returns, and the fetch is given up.
    void Cancel();
    bool Cancelled() const { return m_cancelled.load(); }
    // Whether a reader has begun to take the text (a change it belongs to is then being picked
    // up, and its fetch runs to the end).
    bool Taken() const { return m_taken.load(); }
    // How long the whole text will be in the bytes ReadRaw gives, as far as can be told yet:
    // exact once it has ended, before that scaled from what the owner announced.
    std::size_t EstimatedLength() const;
    // The memory the stream keeps for text its reader has not taken yet.
    std::size_t Held() const;

    // The fetching thread's side. The owner announced `bytes` of its own form of the text.
    void Expect(std::size_t bytes);
    // Text converted from `sourceBytes` bytes of the owner's (for a UTF-8 stream, those bytes).
    void Add(std::string text, std::size_t sourceBytes);
    // No more comes; `whole` says whether all of the owner's text came.
    void End(bool whole);
    bool Ended() const;
    bool Whole() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_more;
    // Added, not read yet: pieces kept as they came, so a backlog takes the text's own size, not
    // that of a buffer grown to hold it.
    std::deque<std::string> m_ready;
    std::size_t m_held = 0;
    std::size_t m_added = 0;
    std::size_t m_sourceAdded = 0;
    std::size_t m_sourceExpected = 0;
    std::atomic<bool> m_ended{false};  // read without the lock: asked for every slice
    bool m_whole = false;
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_taken{false};
    bool m_trimmed = false;  // its memory has been handed back
    const bool m_utf8;
    // The reader's: a UTF-8 stream's conversion for Read.
    Utf8LinesToCp932 m_lines;
    bool m_converted = false;  // the conversion's last line has been given out
};
