// What a terminal session prints, as text: the escape and control sequences that steer the
// terminal (colours, cursor, window titles, the terminal's own clipboard, device strings) are
// taken out, so that they reach neither the pickup nor the records, and every line end becomes
// CR LF. The text is CP932 or ASCII-compatible: every byte 0x80-0x9F may be a double-byte
// character's lead or trail byte, so the 8-bit forms of the C1 controls are left as text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CTerminalTextFilter {
public:
    // A string sequence (OSC, DCS, SOS, PM, APC) or a CSI longer than this is taken to be
    // unterminated: what follows is text again, so a session that never ends one loses at most
    // this much of its text.
    static constexpr std::size_t kMaxSequence = 64 * 1024;

    // Appends the text of `in` to `out`. A sequence or a line end cut between two calls is
    // recognised as a whole; nothing of `in` is kept but the state of the sequence under way.
    // Tab stays; other C0 controls and DEL go. LF, CR LF, CR CR LF and a lone CR (the cursor
    // back to the start of the line: what follows is written over it) each end one line.
    // Returns the number of bytes appended.
    std::size_t Filter(std::string_view in, std::string& out);

private:
    enum class State {
        kText,
        kAfterCr,       // a CR was written; an LF or further CRs belong to its line end
        kEscape,        // after ESC
        kEscapeInterm,  // ESC and intermediate bytes (0x20-0x2F), up to a final byte
        kCsi,           // ESC [ parameters, up to a final byte 0x40-0x7E
        kString,        // OSC: up to BEL or ST (ESC \)
        kStringStOnly,  // DCS, SOS, PM, APC: up to ST
        kStringEscape,  // ESC inside a string: ST, or a new sequence that cuts the string
    };

    void Text(unsigned char c, std::string& out);
    void Escape(unsigned char c, std::string& out);

    State m_state = State::kText;
    State m_stringKind = State::kString;  // which string an ESC inside it belongs to
    std::size_t m_nSequence = 0;          // bytes of the sequence under way
};
