#include "database/PickupScanner.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/base/CodePage.h"
#include "platform/base/Mbcs.h"

void CFoundIds::Add(std::string_view id, std::string_view handle) {
    Found f;
    std::memcpy(f.id, id.data(), 8);
    f.handleAt = static_cast<std::uint32_t>(m_handles.size());
    f.handleLength = static_cast<std::uint32_t>(handle.size());
    f.record = -1;
    m_handles.append(handle);
    m_ids.push_back(f);
}

void CFoundIds::AddUtf8Handle(std::string_view id, std::string_view handle) {
    Found f;
    std::memcpy(f.id, id.data(), 8);
    f.handleAt = static_cast<std::uint32_t>(m_handles.size());
    AppendUtf8AsCp932(handle, m_handles);
    f.handleLength = static_cast<std::uint32_t>(m_handles.size() - f.handleAt);
    f.record = -1;
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

// What the scan needs of a character set: how long the character at i is, and which characters
// part a handle from what follows. The clipboard's owners send UTF-8, and its characters are
// told apart as the conversion to CP932 tells them (Utf8ToCp932CrLf): the ones that become
// CP932's space and stop characters are spaces and stops, anything else is a character of a
// word, and a byte no character can start is one on its own.
struct Cp932Text {
    static std::size_t CharLength(std::string_view s, std::size_t i) {
        return mbcs::CharLength(s, i);
    }
    static bool IsSpaceChar(std::string_view c) { return c == " " || c == "\x81\x40"; }
    static bool IsStopChar(std::string_view c) {
        if (c.size() == 1) return c[0] == '\t' || c[0] == '/' || c[0] == ':' || c[0] == ',';
        // ／ ： ， 、 。
        if (c.size() == 2 && c[0] == '\x81') {
            const char t = c[1];
            return t == '\x5E' || t == '\x46' || t == '\x43' || t == '\x41' || t == '\x42';
        }
        return false;
    }
    static void Add(CFoundIds& out, std::string_view id, std::string_view handle) {
        out.Add(id, handle);
    }
};

struct Utf8Text {
    // The bytes a character starting with b takes, as the conversion skips a malformed one.
    static std::size_t Nominal(unsigned char b) {
        return b >= 0xF8 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    }
    static std::size_t CharLength(std::string_view s, std::size_t i) {
        const std::size_t nominal = Nominal(static_cast<unsigned char>(s[i]));
        std::size_t n = 1;
        while (n < nominal && i + n < s.size() &&
               (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80)
            ++n;
        return n;
    }
    // U+3000, the ideographic space, is CP932's 81 40.
    static bool IsSpaceChar(std::string_view c) { return c == " " || c == "\xE3\x80\x80"; }
    // 、 。 (U+3001, U+3002) and the full-width ， ／ ： (U+FF0C, U+FF0F, U+FF1A).
    static bool IsStopChar(std::string_view c) {
        if (c.size() == 1) return c[0] == '\t' || c[0] == '/' || c[0] == ':' || c[0] == ',';
        return c == "\xE3\x80\x81" || c == "\xE3\x80\x82" || c == "\xEF\xBC\x8C" ||
               c == "\xEF\xBC\x8F" || c == "\xEF\xBC\x9A";
    }
    static void Add(CFoundIds& out, std::string_view id, std::string_view handle) {
        out.AddUtf8Handle(id, handle);
    }
};

// Whether the text ends with the first bytes of a character whose rest has not come.
bool EndsInsideCharacter(std::string_view t) {
    std::size_t cont = 0;
    while (cont < 3 && cont < t.size() &&
           (static_cast<unsigned char>(t[t.size() - 1 - cont]) & 0xC0) == 0x80)
        ++cont;
    if (cont == t.size()) return false;
    return Utf8Text::CharLength(t.substr(t.size() - 1 - cont), 0) == cont + 1 &&
           cont + 1 < Utf8Text::Nominal(static_cast<unsigned char>(t[t.size() - 1 - cont]));
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
template <class Text>
class LineReader {
public:
    explicit LineReader(std::string_view line, std::size_t pos) : m_line(line), m_pos(pos) {}
    bool Empty() const { return m_pos >= m_line.size(); }
    std::size_t Pos() const { return m_pos; }
    std::string_view Take() {
        if (Empty()) return {};
        const std::size_t len = Text::CharLength(m_line, m_pos);
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
template <class Text>
std::string_view ExtractHandle(std::string_view line, LineReader<Text>& in) {
    const auto IsSpaceChar = [](std::string_view c) { return Text::IsSpaceChar(c); };
    const auto IsStopChar = [](std::string_view c) { return Text::IsStopChar(c); };
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

// Takes the ID at i, which IsValidId has seen, with the handle after it; where the scan goes on.
template <class Text>
std::size_t TakeId(std::string_view line, std::size_t i, CFoundIds& out) {
    // Its letters are ASCII: upper case is a bit away.
    char upper[8];
    for (int k = 0; k < 8; ++k) {
        const char b = line[i + static_cast<std::size_t>(k)];
        upper[k] = k < 3 && b >= 'a' ? static_cast<char>(b - ('a' - 'A')) : b;
    }
    LineReader<Text> rest(line, i + 8);
    const std::string_view handle = ExtractHandle(line, rest);
    Text::Add(out, std::string_view(upper, 8), handle);
    return rest.Pos();
}

template <class Text>
std::size_t ScanLine(std::string_view line, std::size_t nEnd, CFoundIds& out) {
    const std::size_t size = line.size();
    const std::size_t stop = std::min(nEnd, size);
    std::size_t i = 0;
    while (i < stop) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c >= 0x80) {
            i += Text::CharLength(line, i);
            continue;
        }
        // Most text fails at once: an ID starts with a letter and has a digit three bytes on.
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (letter && size - i >= 8 && line[i + 3] >= '0' && line[i + 3] <= '9' &&
            pickup_scan::IsValidId(line.substr(i, 8))) {
            i = TakeId<Text>(line, i, out);
        } else {
            ++i;
        }
    }
    return i;
}

// The first ASCII digit at or after pos, or s.size(): eight bytes at a time, since in most text
// digits are few and far between. XOR with '0' makes the digits, and only them, bytes under 10.
std::size_t NextDigit(std::string_view s, std::size_t pos) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHigh = 0x8080808080808080u;
    while (pos + 8 <= s.size()) {
        std::uint64_t v;
        std::memcpy(&v, s.data() + pos, 8);
        v ^= kOnes * '0';
        if (((v - kOnes * 10) & ~v & kHigh) != 0) break;
        pos += 8;
    }
    while (pos < s.size() && !(s[pos] >= '0' && s[pos] <= '9')) ++pos;
    return pos;
}

// In UTF-8 no ASCII byte is part of another character, so the scan need not step through the
// characters: an ID has a digit four bytes in, and only the bytes three before each digit are
// tried, in order. Where the scan stops is moved to the next character's start.
template <>
std::size_t ScanLine<Utf8Text>(std::string_view line, std::size_t nEnd, CFoundIds& out) {
    const std::size_t size = line.size();
    const std::size_t stop = std::min(nEnd, size);
    std::size_t i = 0;
    while (i < stop) {
        const std::size_t d = NextDigit(line, i + 3);
        if (d >= size || d - 3 >= stop) {
            i = stop;
            break;
        }
        const std::size_t c = d - 3;
        const char first = line[c];
        const bool letter = (first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z');
        if (letter && size - c >= 8 && pickup_scan::IsValidId(line.substr(c, 8))) {
            i = TakeId<Utf8Text>(line, c, out);
        } else {
            i = c + 1;
        }
    }
    while (i < size && (static_cast<unsigned char>(line[i]) & 0xC0) == 0x80) ++i;
    return i;
}

// Where the first line end at or after pos starts, and where the next line starts after it:
// CP932 text ends its lines with CR LF; UTF-8 text as it comes with an LF, which a CR before it
// joins, as the conversion has it.
struct LineEnd {
    std::size_t at;
    std::size_t next;
};
LineEnd FindLineEnd(Cp932Text, std::string_view s, std::size_t pos) {
    const std::size_t cr = FindCrLf(s, pos);
    return {cr, cr == std::string_view::npos ? cr : cr + 1};  // the LF goes with the blanks
}
LineEnd FindLineEnd(Utf8Text, std::string_view s, std::size_t pos) {
    const void* lf = pos < s.size() ? std::memchr(s.data() + pos, '\n', s.size() - pos) : nullptr;
    if (!lf) return {std::string_view::npos, std::string_view::npos};
    const auto at = static_cast<std::size_t>(static_cast<const char*>(lf) - s.data());
    return {at > 0 && s[at - 1] == '\r' ? at - 1 : at, at + 1};
}

template <class Text>
std::size_t ScanLines(std::string_view text, std::size_t nAdded, std::size_t nMaxWaiting,
                      CFoundIds& out, std::size_t nMaxFound) {
    // The first line end can only lie in the added text, or be the CR before it with its LF.
    std::size_t searchFrom = nAdded < text.size() ? text.size() - nAdded - 1 : 0;
    std::size_t pos = 0;
    for (;;) {
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
        const LineEnd end = FindLineEnd(Text{}, text, std::max(pos, searchFrom));
        if (end.at == std::string_view::npos) break;
        // A CR LF at the line's start: the blanks were skipped up to its LF.
        ScanLine<Text>(text.substr(pos, end.at >= pos ? end.at - pos : 0), std::string_view::npos,
                       out);
        pos = end.next;
        searchFrom = 0;
        if (out.Size() >= nMaxFound) return pos;
    }
    if (text.size() - pos > nMaxWaiting && text.size() - pos > pickup_scan::kHeldBack) {
        const std::string_view rest = text.substr(pos);
        pos += ScanLine<Text>(rest, rest.size() - pickup_scan::kHeldBack, out);
    }
    return pos;
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
    return ScanLine<Cp932Text>(line, nEnd, out);
}

std::size_t ScanText(std::string_view text, std::size_t nAdded, std::size_t nMaxWaiting,
                     CFoundIds& out, std::size_t nMaxFound) {
    return ScanLines<Cp932Text>(text, nAdded, nMaxWaiting, out, nMaxFound);
}

std::size_t ScanUtf8Text(std::string_view text, std::size_t nAdded, std::size_t nMaxWaiting,
                         CFoundIds& out, std::size_t nMaxFound) {
    return ScanLines<Utf8Text>(text, nAdded, nMaxWaiting, out, nMaxFound);
}

void AppendUtf8Piece(std::string& text, std::string_view piece, bool& zeroPending) {
    while (!piece.empty()) {
        if (zeroPending) {
            // Decided by the first byte after the zero bytes.
            if (piece[0] == '\0') {
                piece.remove_prefix(1);
                continue;
            }
            if ((static_cast<unsigned char>(piece[0]) & 0xC0) == 0x80) text += '\0';
            zeroPending = false;
        }
        const void* zero = std::memchr(piece.data(), '\0', piece.size());
        const std::size_t n =
            zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - piece.data())
                 : piece.size();
        text.append(piece.data(), n);
        if (!zero) return;
        zeroPending = EndsInsideCharacter(text);
        piece.remove_prefix(n + 1);
    }
}

}  // namespace pickup_scan
