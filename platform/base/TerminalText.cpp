#include "platform/base/TerminalText.h"

namespace {

constexpr unsigned char kBel = 0x07, kCan = 0x18, kSub = 0x1A, kEsc = 0x1B, kDel = 0x7F;

bool IsControl(unsigned char c) {
    return c < 0x20 || c == kDel;
}

}  // namespace

std::size_t CTerminalTextFilter::Filter(std::string_view in, std::string& out) {
    const std::size_t before = out.size();
    std::size_t i = 0;
    while (i < in.size()) {
        if (m_state == State::kText) {
            // Most of a session is plain text: copy it a run at a time.
            std::size_t end = i;
            while (end < in.size() && !IsControl(static_cast<unsigned char>(in[end]))) ++end;
            out.append(in, i, end - i);
            i = end;
            if (i == in.size()) break;
        }
        const auto c = static_cast<unsigned char>(in[i++]);
        switch (m_state) {
            case State::kText:
            case State::kAfterCr:
                Text(c, out);
                break;
            case State::kString:
            case State::kStringStOnly:
                if (++m_nSequence > kMaxSequence) {
                    m_state = State::kText;
                    Text(c, out);
                } else if (c == kEsc) {
                    m_stringKind = m_state;
                    m_state = State::kStringEscape;
                } else if ((c == kBel && m_state == State::kString) || c == kCan || c == kSub) {
                    m_state = State::kText;
                }
                break;
            case State::kStringEscape:
                // ESC \ ends the string; any other sequence cuts it short and begins.
                if (c == '\\') {
                    m_state = State::kText;
                } else {
                    m_state = State::kEscape;
                    m_nSequence = 0;
                    Escape(c, out);
                }
                break;
            default:
                Escape(c, out);
                break;
        }
    }
    return out.size() - before;
}

void CTerminalTextFilter::Text(unsigned char c, std::string& out) {
    if (m_state == State::kAfterCr) {
        if (c == '\r') return;  // CR CR LF: a cooked terminal's output of CR LF
        out += '\n';
        m_state = State::kText;
        if (c == '\n') return;
    }
    switch (c) {
        case '\r':
            out += '\r';
            m_state = State::kAfterCr;
            break;
        case '\n':
            out += "\r\n";
            break;
        case '\t':
            out += '\t';
            break;
        case kEsc:
            m_state = State::kEscape;
            m_nSequence = 0;
            break;
        default:
            if (!IsControl(c)) out += static_cast<char>(c);
            break;
    }
}

// ESC, its intermediates and a CSI. A line end inside one still moves the terminal to a new
// line, so it ends the line here too; other controls act without ending the sequence.
void CTerminalTextFilter::Escape(unsigned char c, std::string& out) {
    if (++m_nSequence > kMaxSequence || c >= 0x80) {
        // Not a sequence any terminal would finish: what follows is text.
        m_state = State::kText;
        Text(c, out);
        return;
    }
    if (c == kEsc) {
        m_state = State::kEscape;
        m_nSequence = 0;
        return;
    }
    if (c == kCan || c == kSub) {
        m_state = State::kText;
        return;
    }
    if (c == '\r' || c == '\n') {
        out += "\r\n";
        return;
    }
    if (IsControl(c)) return;

    switch (m_state) {
        case State::kEscape:
            if (c == '[') {
                m_state = State::kCsi;
            } else if (c == ']') {
                m_state = State::kString;
            } else if (c == 'P' || c == 'X' || c == '^' || c == '_') {
                m_state = State::kStringStOnly;
            } else if (c < 0x30) {
                m_state = State::kEscapeInterm;
            } else {
                m_state = State::kText;  // ESC and one byte: done
            }
            break;
        case State::kEscapeInterm:
            if (c >= 0x30) m_state = State::kText;
            break;
        default:  // kCsi: parameters and intermediates up to the final byte
            if (c >= 0x40) m_state = State::kText;
            break;
    }
}
