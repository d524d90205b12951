// Line ends at the edges of the program: inside, text ends its lines with CR LF, as the program
// has always seen them; Linux programs end them with LF alone. CR and LF are never part of a
// double-byte character, so both conversions work byte by byte on CP932 and UTF-8 alike.
#pragma once

#include <string>
#include <string_view>

// Lone LF line ends as CR LF; CR LF stays as it is. For text that arrives in pieces, bAfterCr
// tells whether the text before this piece ended in CR (whose LF may open this piece).
inline std::string CrLfFromLf(std::string_view text, bool bAfterCr = false) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    bool afterCr = bAfterCr;
    for (const char c : text) {
        if (c == '\n' && !afterCr) out += '\r';
        out += c;
        afterCr = c == '\r';
    }
    return out;
}

// CR LF line ends as LF, the form Linux programs paste; a CR on its own stays.
inline std::string LfFromCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}
