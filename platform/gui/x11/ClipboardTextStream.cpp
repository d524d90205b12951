#include "platform/gui/x11/ClipboardTextStream.h"

#include <malloc.h>

#include <algorithm>
#include <utility>

CClipboardTextStream::CClipboardTextStream(std::string whole)
    : m_ended(true), m_whole(true), m_utf8(false) {
    m_added = m_sourceAdded = m_sourceExpected = m_held = whole.size();
    if (!whole.empty()) m_ready.push_back(std::move(whole));
}

namespace {
// A text this large came in pieces of a megabyte or so, which the allocator keeps for later
// once they are let go: they are handed back to the system at the end, so the text's memory
// goes with it.
constexpr std::size_t kLargeText = std::size_t{4} << 20;
}  // namespace

bool CClipboardTextStream::Read(std::string& out) {
    if (!m_utf8) return ReadRaw(out);
    std::string raw;
    if (ReadRaw(raw)) {
        out = m_lines.Feed(raw);
        return true;
    }
    // The line left open at the end; none once the reader let go.
    const bool last = !m_cancelled && !std::exchange(m_converted, true);
    out = last ? m_lines.Finish() : std::string();
    return last && !out.empty();
}

bool CClipboardTextStream::ReadRaw(std::string& out) {
    m_taken = true;
    std::unique_lock lock(m_mutex);
    m_more.wait(lock, [this] { return !m_ready.empty() || m_ended || m_cancelled; });
    if (m_cancelled || m_ready.empty()) {
        std::string().swap(out);
        const bool large = m_added >= kLargeText && !std::exchange(m_trimmed, true);
        lock.unlock();
        if (large) ::malloc_trim(0);
        return false;
    }
    out = std::move(m_ready.front());
    m_ready.pop_front();
    m_held -= out.size();
    return true;
}

bool CClipboardTextStream::Ready() const {
    const std::lock_guard lock(m_mutex);
    return !m_ready.empty() || m_ended || m_cancelled;
}

std::string CClipboardTextStream::ReadAll() {
    std::string all, piece;
    while (Read(piece)) {
        if (all.empty())
            all.swap(piece);
        else
            all += piece;
    }
    return all;
}

void CClipboardTextStream::Cancel() {
    {
        const std::lock_guard lock(m_mutex);
        m_cancelled = true;
        m_ready.clear();
        m_held = 0;
    }
    m_more.notify_all();
}

std::size_t CClipboardTextStream::EstimatedLength() const {
    const std::lock_guard lock(m_mutex);
    if (m_ended) return m_added;
    if (m_sourceAdded == 0 || m_sourceExpected <= m_sourceAdded)
        return std::max(m_added, m_sourceExpected);
    const double perByte = static_cast<double>(m_added) / static_cast<double>(m_sourceAdded);
    return static_cast<std::size_t>(static_cast<double>(m_sourceExpected) * perByte);
}

std::size_t CClipboardTextStream::Held() const {
    const std::lock_guard lock(m_mutex);
    return m_held;
}

void CClipboardTextStream::Expect(std::size_t bytes) {
    const std::lock_guard lock(m_mutex);
    m_sourceExpected = std::max(m_sourceExpected, bytes);
}

void CClipboardTextStream::Add(std::string text, std::size_t sourceBytes) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_cancelled || m_ended) return;
        m_added += text.size();
        m_sourceAdded += sourceBytes;
        m_sourceExpected = std::max(m_sourceExpected, m_sourceAdded);
        if (text.empty()) return;
        m_held += text.size();
        m_ready.push_back(std::move(text));
    }
    m_more.notify_all();
}

void CClipboardTextStream::End(bool whole) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_ended) return;
        m_ended = true;
        m_whole = whole;
    }
    m_more.notify_all();
}

bool CClipboardTextStream::Ended() const {
    return m_ended.load();
}

bool CClipboardTextStream::Whole() const {
    const std::lock_guard lock(m_mutex);
    return m_whole;
}
