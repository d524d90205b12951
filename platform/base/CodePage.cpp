#include "platform/base/CodePage.h"

#include <iconv.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/base/Cp932Table.h"
#include "platform/base/Mbcs.h"

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid()) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return m_cd; }

private:
    iconv_t m_cd;
};

// Bytes to skip over one character the converter refused.
std::size_t BadCharLength(std::string_view in, bool fromUtf8) {
    const auto b = static_cast<unsigned char>(in[0]);
    if (fromUtf8) {
        std::size_t len = 1;
        if (b >= 0xC0 && b < 0xE0)
            len = 2;
        else if (b >= 0xE0 && b < 0xF0)
            len = 3;
        else if (b >= 0xF0 && b < 0xF8)
            len = 4;
        // Stop early at a byte that cannot continue the sequence, so that it is looked at again.
        std::size_t i = 1;
        while (i < len && i < in.size() && (static_cast<unsigned char>(in[i]) & 0xC0) == 0x80) ++i;
        return i;
    }
    if (mbcs::IsLeadByte(b) && in.size() > 1) {
        const auto t = static_cast<unsigned char>(in[1]);
        if ((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC)) return 2;
    }
    return 1;
}

// The C library converts a long input in stages and, at a character it cannot take, converts
// again all that the stage before had taken in: given the whole text, that is the length of its
// buffers for every such character. So the text is handed over in windows, small after a refusal
// and doubling while the text converts cleanly; a character cut by a window's end is taken with
// the next. `sink(bytes, n, readTo)` gets each piece of output with the end of the input it
// comes from.
constexpr std::size_t kSmallWindow = 16;
constexpr std::size_t kLargeWindow = 16384;

template <class Sink>
void ConvertInWindows(const Converter& conv, std::string_view in, bool fromUtf8, Sink sink) {
    iconv(conv.Handle(), nullptr, nullptr, nullptr, nullptr);
    char buffer[4 * kLargeWindow];
    std::size_t pos = 0, window = kLargeWindow;
    while (pos < in.size()) {
        const std::size_t length = std::min(window, in.size() - pos);
        const bool toTheEnd = pos + length == in.size();
        char* inp = const_cast<char*>(in.data() + pos);  // iconv never writes through it
        std::size_t inLeft = length;
        char* outp = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t r = iconv(conv.Handle(), &inp, &inLeft, &outp, &outLeft);
        const int error = r == static_cast<std::size_t>(-1) ? errno : 0;
        pos += length - inLeft;
        sink(buffer, static_cast<std::size_t>(outp - buffer), pos);
        if (error == 0) {
            window = std::min(window * 2, kLargeWindow);
        } else if (error == E2BIG || (error == EINVAL && !toTheEnd)) {
            if (inLeft == length) window *= 2;  // not even one character fitted
        } else {
            // EILSEQ, or a character the text's end cuts short: one "?".
            pos += BadCharLength(in.substr(pos), fromUtf8);
            sink("?", 1, pos);
            window = kSmallWindow;
        }
    }
}

std::string Convert(const Converter& conv, std::string_view in, bool fromUtf8) {
    std::string out;
    if (!conv.Valid()) {
        // Without a converter only ASCII can pass safely.
        for (char c : in) out += (static_cast<unsigned char>(c) < 0x80) ? c : '?';
        return out;
    }
    out.reserve(in.size() + 16);
    ConvertInWindows(conv, in, fromUtf8,
                     [&](const char* bytes, std::size_t n, std::size_t) { out.append(bytes, n); });
    return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    thread_local Converter conv("UTF-8", "CP932");
    return Convert(conv, cp932, false);
}

std::string Utf8ToCp932(std::string_view utf8) {
    thread_local Converter conv("CP932", "UTF-8");
    return Convert(conv, utf8, true);
}

namespace {

// Hands the pages of a text that has been read back to the system, a megabyte or more at a time.
// What is given back reads as zeros afterwards; nothing reads it again.
class ReadPages {
public:
    explicit ReadPages(std::string_view text)
        : m_base(reinterpret_cast<std::uintptr_t>(text.data())),
          m_page(static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE))),
          m_from((m_base + m_page - 1) / m_page * m_page) {}
    void ReadTo(std::size_t read) {
        if (m_base + read < m_from + kStep) return;
        const std::uintptr_t to = (m_base + read) / m_page * m_page;
        ::madvise(reinterpret_cast<void*>(m_from), to - m_from, MADV_DONTNEED);
        m_from = to;
    }

private:
    static constexpr std::uintptr_t kStep = std::uintptr_t{1} << 20;
    std::uintptr_t m_base;
    std::uintptr_t m_page;
    std::uintptr_t m_from;
};

// Eight bytes at once: whether any of them is a zero byte, an LF or outside ASCII. Only says
// where to look byte by byte; it may also stop at an 0x01 or 0x0B past a real one.
inline bool MayHoldSpecial(std::uint64_t v) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHigh = 0x8080808080808080u;
    const std::uint64_t lf = v ^ (kOnes * '\n');
    return ((v | ((v - kOnes) & ~v) | ((lf - kOnes) & ~lf)) & kHigh) != 0;
}

// The code point of a well-formed UTF-8 character of two to four bytes at `p` and its length;
// 0 for anything else (an overlong form, a surrogate, past U+10FFFF, cut short), which is left
// to the C library's converter, so that what it makes of such bytes stays its own.
std::size_t DecodeUtf8(const unsigned char* p, std::size_t left, char32_t& cp) {
    const unsigned char b = p[0];
    const auto cont = [&](std::size_t i) { return i < left && (p[i] & 0xC0) == 0x80; };
    if (b >= 0xC2 && b <= 0xDF) {
        if (!cont(1)) return 0;
        cp = (b & 0x1Fu) << 6 | (p[1] & 0x3Fu);
        return 2;
    }
    if (b >= 0xE0 && b <= 0xEF) {
        if (!cont(1) || !cont(2)) return 0;
        cp = (b & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
        return cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF) ? 3 : 0;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (!cont(1) || !cont(2) || !cont(3)) return 0;
        cp = (b & 0x07u) << 18 | (p[1] & 0x3Fu) << 12 | (p[2] & 0x3Fu) << 6 | (p[3] & 0x3Fu);
        return cp >= 0x10000 && cp <= 0x10FFFF ? 4 : 0;
    }
    return 0;
}

// How many line ends and zero bytes a text holds, eight bytes at a time: a byte's top bit in
// `((v & 0x7F..) + 0x7F..) | v` is clear only for a zero byte, and the clear ones are summed in
// eight byte-wide counters, added up before any could pass 255.
struct LineEndsAndZeros {
    std::size_t lineEnds = 0;
    std::size_t zeros = 0;
};
LineEndsAndZeros CountLineEndsAndZeros(std::string_view in) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
    const auto zeroBytes = [](std::uint64_t v) {
        return (~(((v & kLow7) + kLow7) | v) >> 7) & kOnes;
    };
    const auto total = [](std::uint64_t lanes) {
        return static_cast<std::size_t>((lanes * kOnes) >> 56);
    };
    LineEndsAndZeros count;
    std::size_t pos = 0;
    while (pos + 8 <= in.size()) {
        std::uint64_t lf = 0, zero = 0;
        for (int k = 0; k < 255 && pos + 8 <= in.size(); ++k, pos += 8) {
            std::uint64_t v;
            std::memcpy(&v, in.data() + pos, 8);
            lf += zeroBytes(v ^ (kOnes * '\n'));
            zero += zeroBytes(v);
        }
        count.lineEnds += total(lf);
        count.zeros += total(zero);
    }
    for (; pos < in.size(); ++pos) {
        count.lineEnds += in[pos] == '\n';
        count.zeros += in[pos] == '\0';
    }
    return count;
}

}  // namespace

// Plain ASCII is the same bytes in CP932 and is copied as it is, a stretch at a time; another
// character is looked up (Cp932Table), unless its bytes are no well-formed UTF-8: from there
// the C library's converter takes the text up to the next zero byte, in stretches of some
// kilobytes that end before a character's first byte. A lone LF is one whose byte before, zero
// bytes left out, is no CR: the last byte written so far, since no CP932 character ends in a
// CR.
namespace {

// Appends `in` converted to out, which holds nothing of an earlier piece: `in` starts the text
// or follows an LF. With releasePages, in's pages go back to the system as they are read.
void AppendCp932CrLf(std::string_view in, std::string& out, bool releasePages) {
    constexpr std::size_t kStretch = 4096;
    const LineEndsAndZeros count = CountLineEndsAndZeros(in);
    // No CP932 character takes more bytes than its UTF-8, nor does the "?" of a refused one.
    out.reserve(out.size() + in.size() - count.zeros + count.lineEnds);
    const std::size_t first = out.size();
    const auto endLine = [&out, first] {
        if (out.size() == first || out.back() != '\r') out += '\r';
        out += '\n';
    };
    const auto converted = [&](const char* bytes, std::size_t n, std::size_t) {
        for (const char* lf; (lf = static_cast<const char*>(std::memchr(bytes, '\n', n)));) {
            out.append(bytes, static_cast<std::size_t>(lf - bytes));
            endLine();
            n -= static_cast<std::size_t>(lf - bytes) + 1;
            bytes = lf + 1;
        }
        out.append(bytes, n);
    };
    thread_local Converter conv("CP932", "UTF-8");
    // On the heap: room for a thread_local is made in every thread, whether it converts or not.
    thread_local std::unique_ptr<Cp932Table> ownTable;
    if (!ownTable) ownTable = std::make_unique<Cp932Table>();
    Cp932Table& table = *ownTable;
    ReadPages pages(releasePages ? in : std::string_view());
    const char* const data = in.data();
    const std::size_t size = in.size();
    std::size_t pos = 0;
    while (pos < size) {
        if (releasePages) pages.ReadTo(pos);
        std::size_t end = pos;
        for (std::uint64_t word; end + 8 <= size; end += 8) {
            std::memcpy(&word, data + end, 8);
            if (MayHoldSpecial(word)) break;
        }
        while (end < size) {
            const auto c = static_cast<unsigned char>(data[end]);
            if (c == '\0' || c == '\n' || c >= 0x80) break;
            ++end;
        }
        out.append(data + pos, end - pos);
        if (end == size) break;
        pos = end + 1;
        if (data[end] == '\n') {
            endLine();
            continue;
        }
        if (data[end] == '\0') continue;
        // The characters outside ASCII that follow one another, gathered and written at once.
        char looked[512];
        std::size_t n = 0;
        std::size_t at = end;
        char32_t cp = 0;
        for (std::size_t length;
             conv.Valid() && at < size && n + 2 <= sizeof looked &&
             static_cast<unsigned char>(data[at]) >= 0x80 &&
             (length = DecodeUtf8(reinterpret_cast<const unsigned char*>(data + at), size - at,
                                  cp)) != 0;
             at += length) {
            const std::uint16_t code = table.Code(cp);
            if (code > 0xFF) looked[n++] = static_cast<char>(code >> 8);
            looked[n++] = code == 0 ? '?' : static_cast<char>(code & 0xFF);
        }
        out.append(looked, n);
        if (at != end) {
            pos = at;
        } else {
            std::size_t stop = std::min(size, end + kStretch);
            while (stop < size && (static_cast<unsigned char>(data[stop]) & 0xC0) == 0x80) ++stop;
            if (const void* zero = std::memchr(data + end, '\0', stop - end))
                stop = static_cast<std::size_t>(static_cast<const char*>(zero) - data);
            const std::string_view stretch = in.substr(end, stop - end);
            if (conv.Valid()) {
                ConvertInWindows(conv, stretch, true, converted);
            } else {
                for (const char b : stretch) {
                    if (b == '\n')
                        endLine();
                    else
                        out += static_cast<unsigned char>(b) < 0x80 ? b : '?';
                }
            }
            pos = stop;
        }
    }
}

}  // namespace

std::string Utf8ToCp932CrLf(std::string utf8) {
    std::string out;
    AppendCp932CrLf(utf8, out, true);
    return out;
}

void AppendUtf8AsCp932(std::string_view utf8, std::string& out) {
    if (std::all_of(utf8.begin(), utf8.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        out.append(utf8);
        return;
    }
    AppendCp932CrLf(utf8, out, false);
}

std::string Utf8LinesToCp932::Feed(std::string_view utf8) {
    std::string out;
    const std::size_t last = utf8.rfind('\n');
    if (last == std::string_view::npos) {
        m_rest.append(utf8);
        // A line this long does not wait whole: it is converted up to the last place where a cut
        // changes nothing, after an ASCII byte other than a CR or a zero byte (never inside a
        // character, never between a CR and the LF it ends a line with).
        if (m_rest.size() >= kLongLine) {
            std::size_t cut = m_rest.size();
            for (; cut > 0; --cut) {
                const auto c = static_cast<unsigned char>(m_rest[cut - 1]);
                if (c < 0x80 && c != '\r' && c != '\0') break;
            }
            AppendCp932CrLf(std::string_view(m_rest).substr(0, cut), out, false);
            m_rest.erase(0, cut);
        }
        return out;
    }
    if (!m_rest.empty()) {
        // The line the last piece left open ends at this piece's first LF.
        const std::size_t lf = utf8.find('\n');
        m_rest.append(utf8.substr(0, lf + 1));
        AppendCp932CrLf(m_rest, out, false);
        std::string().swap(m_rest);
        utf8.remove_prefix(lf + 1);
    }
    const std::size_t cut = utf8.rfind('\n') + 1;  // npos + 1 == 0: no more whole lines
    AppendCp932CrLf(utf8.substr(0, cut), out, false);
    m_rest.assign(utf8.substr(cut));
    return out;
}

std::string Utf8LinesToCp932::Finish() {
    std::string out;
    AppendCp932CrLf(m_rest, out, false);
    std::string().swap(m_rest);
    return out;
}
