// CP932 for each character of the Basic Multilingual Plane, as the C library's conversion gives
// it, looked up rather than converted: a text is converted a character at a time without a call
// for each. Filled 256 characters at a time, the first time one of them is asked for; each
// thread keeps a table of its own.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>

class Cp932Table {
public:
    // The character's CP932 bytes: under 0x100 one byte, else lead * 256 + trail; 0 when CP932
    // has no such character (or the C library cannot convert at all).
    std::uint16_t Code(char32_t cp) {
        if (cp > 0xFFFF) return 0;
        if (!m_filled[cp >> 8]) Fill(cp >> 8);
        return m_codes[cp];
    }

private:
    void Fill(char32_t page);
    std::array<std::uint16_t, 0x10000> m_codes{};
    std::bitset<0x100> m_filled;
};
