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
// Full-width Latin letters: Ａ..Ｚ are 0x8260..0x8279, ａ..ｚ are 0x8281..0x829A.
constexpr unsigned kWideUpperA = 0x8260, kWideUpperZ = 0x8279;
constexpr unsigned kWideLowerA = 0x8281, kWideLowerZ = 0x829A;

template <bool Upper>
void ChangeCase(std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (IsLeadByte(b) && i + 1 < s.size()) {
            unsigned code = b * 256u + static_cast<unsigned char>(s[i + 1]);
            if (Upper && code >= kWideLowerA && code <= kWideLowerZ)
                code -= kWideLowerA - kWideUpperA;
            if (!Upper && code >= kWideUpperA && code <= kWideUpperZ)
                code += kWideLowerA - kWideUpperA;
            s[i] = static_cast<char>(code >> 8);
            s[i + 1] = static_cast<char>(code & 0xFF);
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
