#include "platform/base/Mbcs.h"

#include <cstring>

namespace mbcs {

int Compare(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    while (i < n) {
        const auto ba = static_cast<unsigned char>(a[i]);
        const auto bb = static_cast<unsigned char>(b[i]);
        if (ba < 0x80 && bb < 0x80) {
            if (ba != bb) return ba < bb ? -1 : 1;
            ++i;
            continue;
        }
        const unsigned ca = CharCode(a, i);
        const unsigned cb = CharCode(b, i);
        if (ca != cb) return ca < cb ? -1 : 1;
        i += CharLength(a, i);
    }
    if (a.size() == b.size()) return 0;
    // One text ran out. If it ran out because its last lead byte stood alone while the other
    // text's character continues, the codes above were unequal already, so only a true prefix
    // remains here.
    return a.size() < b.size() ? -1 : 1;
}

std::size_t Find(std::string_view s, std::string_view pattern, std::size_t start) {
    if (start > s.size()) return std::string_view::npos;
    if (pattern.empty()) return start;
    if (pattern.size() > s.size()) return std::string_view::npos;
    const char first = pattern[0];
    const std::size_t last = s.size() - pattern.size();
    for (std::size_t i = start; i <= last; i += CharLength(s, i)) {
        if (s[i] == first && std::memcmp(s.data() + i, pattern.data(), pattern.size()) == 0)
            return i;
    }
    return std::string_view::npos;
}

std::size_t FindChar(std::string_view s, char ch, std::size_t start) {
    for (std::size_t i = start; i < s.size(); i += CharLength(s, i)) {
        if (s[i] == ch) return i;
    }
    return std::string_view::npos;
}

std::size_t ReverseFindChar(std::string_view s, char ch) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
        if (s[i] == ch) found = i;
    }
    return found;
}

namespace {

// The double-byte letters that have a case in CP932, as the system's case mapping pairs them
// (through Unicode and back). Small letters come first in Unicode's pairs but later in CP932.
struct CaseRange {
    unsigned lower, upper, count;
};
constexpr CaseRange kCaseRanges[] = {
    {0x8281, 0x8260, 26},  // full-width Latin ａ..ｚ, Ａ..Ｚ
    {0x83BF, 0x839F, 24},  // Greek α..ω, Α..Ω
    {0x8470, 0x8440, 15},  // Cyrillic а..н, А..Н (0x847F is no character)
    {0x8480, 0x844F, 18},  // Cyrillic о..я, О..Я
    {0xFA40, 0x8754, 10},  // small Roman numerals ⅰ..ⅹ (IBM), Ⅰ..Ⅹ (NEC)
    {0xEEEF, 0x8754, 10},  // the same small numerals where NEC placed IBM's characters
};
// The IBM codes of the capital Roman numerals are the NEC ones' characters again: the mapping
// through Unicode gives the NEC codes.
constexpr unsigned kIbmUpperRoman = 0xFA4A, kNecUpperRoman = 0x8754, kRomanCount = 10;

unsigned UpperOf(unsigned code) {
    if (code >= kIbmUpperRoman && code < kIbmUpperRoman + kRomanCount)
        return code - kIbmUpperRoman + kNecUpperRoman;
    for (const CaseRange& r : kCaseRanges)
        if (code >= r.lower && code < r.lower + r.count) return code - r.lower + r.upper;
    return code;
}

unsigned LowerOf(unsigned code) {
    if (code >= kIbmUpperRoman && code < kIbmUpperRoman + kRomanCount)
        code = code - kIbmUpperRoman + kNecUpperRoman;
    // The first range of a capital is the code the mapping back from Unicode gives.
    for (const CaseRange& r : kCaseRanges)
        if (code >= r.upper && code < r.upper + r.count) return code - r.upper + r.lower;
    return code;
}

template <bool Upper>
void ChangeCase(std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (IsLeadByte(b) && i + 1 < s.size()) {
            const unsigned code = CharCode(s, i);
            const unsigned changed = Upper ? UpperOf(code) : LowerOf(code);
            s[i] = static_cast<char>(changed >> 8);
            s[i + 1] = static_cast<char>(changed & 0xFF);
            i += 2;
            continue;
        }
        if (Upper && b >= 'a' && b <= 'z') s[i] = static_cast<char>(b - 'a' + 'A');
        if (!Upper && b >= 'A' && b <= 'Z') s[i] = static_cast<char>(b - 'A' + 'a');
        ++i;
    }
}
}  // namespace

void ToUpper(std::string& s) {
    ChangeCase<true>(s);
}
void ToLower(std::string& s) {
    ChangeCase<false>(s);
}

std::size_t CharBoundaryAtOrBefore(std::string_view s, std::size_t maxBytes) {
    if (maxBytes >= s.size()) return s.size();
    std::size_t i = 0;
    while (i < maxBytes) {
        const std::size_t len = CharLength(s, i);
        if (i + len > maxBytes) break;
        i += len;
    }
    return i;
}

}  // namespace mbcs
