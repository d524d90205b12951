#include "database/PickupScanner.h"

#include <algorithm>
#include <cstring>

#include "platform/base/Mbcs.h"

void CFoundIds::Add(std::string_view id, std::string_view handle) {
    Found f;
    std::memcpy(f.id, id.data(), 8);
    f.handleAt = static_cast<std::uint32_t>(m_handles.size());
    f.handleLength = static_cast<std::uint32_t>(handle.size());
    m_handles.append(handle);
    m_ids.push_back(f);
}

void CFoundIds::Trim() {
    constexpr std::size_t kKeptIds = 256;
    constexpr std::size_t kKeptBytes = 4096;
    if (m_ids.capacity() > kKeptIds) std::vector<Found>().swap(m_ids);
    if (m_handles.capacity() > kKeptBytes) std::string().swap(m_handles);
    Clear();
}

namespace {

bool IsSpaceChar(std::string_view c) {
    return c == " " || c == "\x81\x40";
}

bool IsStopChar(std::string_view c) {
    if (c.size() == 1) return c[0] == '\t' || c[0] == '/' || c[0] == ':' || c[0] == ',';
    // ／ ： ， 、 。
    if (c.size() == 2 && c[0] == '\x81') {
        const char t = c[1];
        return t == '\x5E' || t == '\x46' || t == '\x43' || t == '\x41' || t == '\x42';
    }
    return false;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Position of the CR of the first CR LF at or after pos. CR and LF are never part of a
// double-byte character, so the search need not step by characters.
std::size_t FindCrLf(std::string_view s, std::size_t pos) {
    while (pos + 1 < s.size()) {
        const void* cr = std::memchr(s.data() + pos, '\r', s.size() - pos - 1);
        if (!cr) return std::string_view::npos;
        pos = static_cast<std::size_t>(static_cast<const char*>(cr) - s.data());
        if (s[pos + 1] == '\n') return pos;
        ++pos;
    }
    return std::string_view::npos;
}

// The rest of a line, taken from the front one character at a time.
class LineReader {
public:
    explicit LineReader(std::string_view line, std::size_t pos) : m_line(line), m_pos(pos) {}
    bool Empty() const { return m_pos >= m_line.size(); }
    std::size_t Pos() const { return m_pos; }
    std::string_view Take() {
        if (Empty()) return {};
        const std::size_t len = mbcs::CharLength(m_line, m_pos);
        const std::string_view c = m_line.substr(m_pos, len);
        m_pos += len;
        return c;
    }

private:
    std::string_view m_line;
    std::size_t m_pos;
};

// The handle after an ID: at most two words joined by one space character, after at least one
// space character, ended by a stop character or the second space. It is a stretch of the line as
// it stands, read without copying a character at a time.
std::string_view ExtractHandle(std::string_view line, LineReader& in) {
    std::string_view c = in.Take();
    if (!IsSpaceChar(c)) return {};
    std::size_t start = in.Pos();
    while (!in.Empty()) {
        start = in.Pos();
        c = in.Take();
        if (!IsSpaceChar(c)) break;
    }
    if (IsSpaceChar(c) || IsStopChar(c)) return {};

    std::size_t end = in.Pos();
    bool spaced = false;
    while (!in.Empty()) {
        const std::size_t before = in.Pos();
        c = in.Take();
        if (IsSpaceChar(c)) {
            spaced = true;
            break;
        }
        if (IsStopChar(c)) return line.substr(start, before - start);
        end = in.Pos();
    }
    if (!spaced || in.Empty()) return line.substr(start, end - start);

    const std::string_view q = in.Take();
    if (IsSpaceChar(q) || IsStopChar(q)) return line.substr(start, end - start);
    end = in.Pos();
    while (!in.Empty()) {
        c = in.Take();
        if (IsSpaceChar(c) || IsStopChar(c)) break;
        end = in.Pos();
    }
    return line.substr(start, end - start);
}

}  // namespace

namespace pickup_scan {

bool IsValidId(std::string_view s) {
    if (s.size() != 8) return false;
    for (int i = 0; i < 3; ++i) {
        const char c = s[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    }
    for (int i = 3; i < 8; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
    }
    return true;
}

std::size_t ScanLineUpTo(std::string_view line, std::size_t nEnd, CFoundIds& out) {
    const std::size_t size = line.size();
    const std::size_t stop = std::min(nEnd, size);
    std::size_t i = 0;
    while (i < stop) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c >= 0x80) {
            i += mbcs::CharLength(line, i);
            continue;
        }
        // Most text fails at once: an ID starts with a letter and has a digit three bytes on.
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (letter && size - i >= 8 && line[i + 3] >= '0' && line[i + 3] <= '9' &&
            IsValidId(line.substr(i, 8))) {
            // Its letters are ASCII: upper case is a bit away.
            char upper[8];
            for (int k = 0; k < 8; ++k) {
                const char b = line[i + static_cast<std::size_t>(k)];
                upper[k] = k < 3 && b >= 'a' ? static_cast<char>(b - ('a' - 'A')) : b;
            }
            LineReader rest(line, i + 8);
            const std::string_view handle = ExtractHandle(line, rest);
            i = rest.Pos();
            out.Add(std::string_view(upper, 8), handle);
        } else {
            ++i;
        }
    }
    return i;
}

std::size_t ScanText(std::string_view text, std::size_t nAdded, std::size_t nMaxWaiting,
                     CFoundIds& out, std::size_t nMaxFound) {
    // The first line end can only lie in the added text, or be the CR before it with its LF.
    std::size_t searchFrom = nAdded < text.size() ? text.size() - nAdded - 1 : 0;
    std::size_t pos = 0;
    for (;;) {
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
        const std::size_t cr = FindCrLf(text, std::max(pos, searchFrom));
        if (cr == std::string_view::npos) break;
        ScanLineUpTo(text.substr(pos, cr - pos), std::string_view::npos, out);
        pos = cr + 1;  // the LF goes with the white space of the next round
        searchFrom = 0;
        if (out.Size() >= nMaxFound) return pos;
    }
    if (text.size() - pos > nMaxWaiting && text.size() - pos > kHeldBack) {
        const std::string_view rest = text.substr(pos);
        pos += ScanLineUpTo(rest, rest.size() - kHeldBack, out);
    }
    return pos;
}

}  // namespace pickup_scan
