#include "platform/base/CompoundText.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <map>

namespace compound_text {

namespace {

// How much text is gathered for one conversion, and how often a stop request is looked at.
constexpr std::size_t kRunBytes = 64 * 1024;

// Bytes to pass over when the C library refuses a character of an EUC run: the whole character,
// so its trail byte does not pair up with the next one.
std::size_t EucCharLength(unsigned char lead) {
    if (lead == 0x8F) return 3;
    return lead >= 0x80 ? 2 : 1;
}

// Conversions to UTF-8 by the C library, opened once for each character set one text needs.
class Converters {
public:
    Converters() = default;
    Converters(const Converters&) = delete;
    Converters& operator=(const Converters&) = delete;
    ~Converters() {
        for (auto& [name, cd] : m_open)
            if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
    // Appends `bytes` of `charset` as UTF-8; what cannot be converted becomes "?".
    void Append(std::string& out, const std::string& charset, std::string_view bytes, bool euc) {
        auto it = m_open.find(charset);
        if (it == m_open.end())
            it = m_open.emplace(charset, iconv_open("UTF-8", charset.c_str())).first;
        const iconv_t cd = it->second;
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            out.append(bytes.empty() ? 0 : 1, '?');
            return;
        }
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        // iconv takes its input as char** but never writes through it.
        char* src = const_cast<char*>(bytes.data());
        std::size_t srcLeft = bytes.size();
        char buffer[4096];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
            // A zero byte an encoding lets through goes, as everywhere in the text.
            std::remove_copy(buffer, dst, std::back_inserter(out), '\0');
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
                out += '?';
                const std::size_t skip =
                    std::min(srcLeft, euc ? EucCharLength(static_cast<unsigned char>(*src)) : 1);
                src += skip;
                srcLeft -= skip;
            }
        }
    }

private:
    std::map<std::string, iconv_t> m_open;
};

// A character set of ISO 2022 as COMPOUND_TEXT designates it: how many bytes a character takes
// and the C library's name of an encoding that holds it beside ASCII (the double-byte sets in
// their EUC form, the katakana of JIS X 0201 too).
struct Charset {
    enum Kind { kAscii, kLatin, kKana, kDouble, kNone } kind = kAscii;
    const char* iconvName = nullptr;
};

Charset Designated94(char final) {
    switch (final) {
        case 'B':
        case 'J':  // JIS X 0201 Roman: ASCII but for two signs that read the same in CP932
            return {Charset::kAscii, nullptr};
        case 'I':
            return {Charset::kKana, "EUC-JP"};
        default:
            return {Charset::kNone, nullptr};
    }
}

Charset Designated96(char final) {
    static const std::map<char, const char*> latin = {
        {'A', "ISO-8859-1"}, {'B', "ISO-8859-2"}, {'C', "ISO-8859-3"}, {'D', "ISO-8859-4"},
        {'F', "ISO-8859-7"}, {'G', "ISO-8859-6"}, {'H', "ISO-8859-8"}, {'L', "ISO-8859-5"},
        {'M', "ISO-8859-9"}, {'b', "ISO-8859-15"}};
    const auto it = latin.find(final);
    return it == latin.end() ? Charset{Charset::kNone, nullptr}
                             : Charset{Charset::kLatin, it->second};
}

Charset Designated94x94(char final) {
    switch (final) {
        case '@':
        case 'B':
            return {Charset::kDouble, "EUC-JP"};
        case 'A':
            return {Charset::kDouble, "EUC-CN"};
        case 'C':
            return {Charset::kDouble, "EUC-KR"};
        default:
            return {Charset::kNone, nullptr};
    }
}

// The C library's name for the encoding an extended segment names ("big5-0", "iso8859-15").
std::string ExtendedSegmentCharset(std::string name) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.size() > 2 && name.compare(name.size() - 2, 2, "-0") == 0)
        name.resize(name.size() - 2);
    if (name.rfind("iso8859-", 0) == 0) return "ISO-8859-" + name.substr(8);
    if (name == "iso10646-1") return "UTF-16BE";
    if (name == "big5" || name == "gbk" || name == "koi8-r" || name == "koi8-u" ||
        name == "gb18030")
        return name;
    return {};
}

// Gathers the text of one encoding that holds ASCII too (a Latin set, an EUC form), so that a
// whole stretch goes to the C library at once however often the text returns to ASCII in it.
class Runs {
public:
    explicit Runs(std::string& out) : m_out(out) {}

    void Ascii(char c) {
        if (m_charset)
            Add(m_charset, &c, 1);
        else
            m_out += c;
    }
    void Add(const char* charset, const char* bytes, std::size_t n) {
        if (!m_charset || std::strcmp(m_charset, charset) != 0) {
            Flush();
            m_charset = charset;
        }
        m_run.append(bytes, n);
        if (m_run.size() >= kRunBytes) Flush();
    }
    // Text already in UTF-8, or in an encoding of its own: what was gathered goes first.
    std::string& Direct() {
        Flush();
        m_charset = nullptr;
        return m_out;
    }
    void Convert(const std::string& charset, std::string_view bytes) {
        m_converters.Append(Direct(), charset, bytes, false);
    }
    void Flush() {
        if (m_run.empty()) return;
        const bool euc = std::strncmp(m_charset, "EUC-", 4) == 0;
        m_converters.Append(m_out, m_charset, m_run, euc);
        m_run.clear();
    }

private:
    std::string& m_out;
    Converters m_converters;
    const char* m_charset = nullptr;  // of the run; null: ASCII goes straight out
    std::string m_run;
};

}  // namespace

std::optional<std::string> ToUtf8(std::string_view text, const std::atomic<bool>* stop,
                                  const std::function<void(std::size_t)>& done) {
    // No character takes more than three bytes of UTF-8 for each of its own, so the text never
    // moves while it grows; room it does not use is never touched, and costs no memory.
    std::string out;
    out.reserve(text.size() * 3);
    Runs runs(out);
    Charset gl{Charset::kAscii, nullptr};
    Charset gr{Charset::kLatin, "ISO-8859-1"};
    std::size_t i = 0;
    std::size_t nextStopCheck = kRunBytes;
    const auto at = [&](std::size_t k) -> unsigned char {
        return k < text.size() ? static_cast<unsigned char>(text[k]) : 0;
    };
    while (i < text.size()) {
        if (i >= nextStopCheck) {
            if (stop && stop->load()) return std::nullopt;
            if (done) done(i);  // what a run still needs is its own copy
            nextStopCheck = i + kRunBytes;
        }
        const unsigned char c = at(i);
        if (c == 0x1B) {  // ESC: a designation or a segment of another encoding
            const unsigned char a = at(i + 1), b = at(i + 2), f = at(i + 3);
            if (a == '(' && b) {
                gl = Designated94(static_cast<char>(b));
                i += 3;
            } else if (a == ')' && b) {
                gr = Designated94(static_cast<char>(b));
                i += 3;
            } else if (a == '-' && b) {
                gr = Designated96(static_cast<char>(b));
                i += 3;
            } else if (a == '$' && (b == '(' || b == ')') && f) {
                (b == '(' ? gl : gr) = Designated94x94(static_cast<char>(f));
                i += 4;
            } else if (a == '$' && b) {
                gl = Designated94x94(static_cast<char>(b));
                i += 3;
            } else if (a == '%' && b == 'G') {  // UTF-8 up to ESC % @
                const std::size_t end = std::min(text.find("\x1B%@", i + 3), text.size());
                std::string& direct = runs.Direct();
                for (std::size_t k = i + 3; k < end; ++k)
                    if (text[k] != '\0') direct += text[k];
                i = end == text.size() ? end : end + 3;
            } else if (a == '%' && b == '/' && f >= '0' && f <= '4') {
                // ESC % / F M L: M L give the length of the name, STX and the bytes that follow.
                const std::size_t length = (at(i + 4) & 0x7F) * 128u + (at(i + 5) & 0x7F);
                const std::size_t start = std::min(i + 6, text.size());
                const std::string_view segment = text.substr(start, length);
                const std::size_t stx = segment.find('\x02');
                if (stx != std::string_view::npos) {
                    const std::string charset =
                        ExtendedSegmentCharset(std::string(segment.substr(0, stx)));
                    const std::string_view bytes = segment.substr(stx + 1);
                    if (charset.empty())
                        runs.Direct().append(bytes.empty() ? 0 : 1, '?');
                    else
                        runs.Convert(charset, bytes);
                }
                i = start + segment.size();
            } else {
                i += 1;  // a sequence this does not know: the ESC alone goes
            }
            continue;
        }
        if (c == 0x9B) {  // CSI: a direction change, which does not change the text
            ++i;
            while (i < text.size() && (at(i) < 0x40 || at(i) > 0x7E)) ++i;
            ++i;
            continue;
        }
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
            if (c == '\t' || c == '\n') runs.Ascii(static_cast<char>(c));
            ++i;
            continue;
        }
        if (c == 0x20) {
            runs.Ascii(' ');
            ++i;
            continue;
        }
        const Charset& set = c < 0x80 ? gl : gr;
        switch (set.kind) {
            case Charset::kAscii:
                runs.Ascii(static_cast<char>(c & 0x7F));
                ++i;
                break;
            case Charset::kLatin: {
                // Only GR holds a 96-character set, so the byte is the set's own.
                const char byte = static_cast<char>(c);
                runs.Add(set.iconvName, &byte, 1);
                ++i;
                break;
            }
            case Charset::kKana:
                if ((c & 0x7F) >= 0x21 && (c & 0x7F) <= 0x5F) {
                    const char euc[2] = {'\x8E', static_cast<char>(c | 0x80)};
                    runs.Add(set.iconvName, euc, 2);
                } else {
                    runs.Ascii('?');
                }
                ++i;
                break;
            case Charset::kDouble: {
                const unsigned char lead = c & 0x7F, trail = at(i + 1) & 0x7F;
                if (lead >= 0x21 && lead <= 0x7E && trail >= 0x21 && trail <= 0x7E &&
                    ((at(i + 1) & 0x80) == (c & 0x80))) {
                    const char euc[2] = {static_cast<char>(lead | 0x80),
                                         static_cast<char>(trail | 0x80)};
                    runs.Add(set.iconvName, euc, 2);
                    i += 2;
                } else {
                    runs.Ascii('?');
                    ++i;
                }
                break;
            }
            case Charset::kNone:
                runs.Ascii('?');
                ++i;
                break;
        }
    }
    runs.Flush();
    return out;
}

}  // namespace compound_text
