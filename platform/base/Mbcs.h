// Multibyte text in the system code page, CP932: a character is one byte, or two bytes when the
// first is a lead byte. Every cut, search and comparison of program text goes through here so
// that a double-byte character is never split and compares as one code.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mbcs {

constexpr bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length in bytes of the character that starts at byte i (1 or 2). A lead byte with nothing after
// it stands alone.
inline std::size_t CharLength(std::string_view s, std::size_t i) {
    return (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

// The code of the character at byte i: the byte, or lead * 256 + trail.
inline unsigned CharCode(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (IsLeadByte(b) && i + 1 < s.size()) return b * 256u + static_cast<unsigned char>(s[i + 1]);
    return b;
}

// Order of texts character by character by code; a text that is a prefix of the other comes first.
// Half-width katakana (single bytes 0xA1-0xDF) therefore sort before every double-byte character.
int Compare(std::string_view a, std::string_view b);

// First position at or after `start` (a character boundary) where `pattern` begins at a character
// boundary; npos when there is none.
std::size_t Find(std::string_view s, std::string_view pattern, std::size_t start = 0);
std::size_t FindChar(std::string_view s, char ch, std::size_t start = 0);
// Last character equal to ch; npos when there is none.
std::size_t ReverseFindChar(std::string_view s, char ch);

// Upper and lower case of every letter CP932 has in both cases: ASCII and full-width Latin,
// Greek, Cyrillic and the Roman numerals, as the system's case mapping pairs them.
void ToUpper(std::string& s);
void ToLower(std::string& s);

// The largest length <= maxBytes that does not end inside a double-byte character.
std::size_t CharBoundaryAtOrBefore(std::string_view s, std::size_t maxBytes);

}  // namespace mbcs

// The runtime names under which the program's own code knows these operations.
inline int _ismbblead(unsigned int c) {
    return mbcs::IsLeadByte(static_cast<unsigned char>(c));
}
inline int _mbscmp(const unsigned char* a, const unsigned char* b) {
    return mbcs::Compare(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b));
}
