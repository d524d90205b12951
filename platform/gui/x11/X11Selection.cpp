#include "platform/gui/x11/X11Selection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <iconv.h>
#include <poll.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <map>
#include <vector>

namespace x11sel {

namespace {

struct Connection {
    Display* display = XOpenDisplay(nullptr);
    Window window = 0;
    ~Connection() {
        if (!display) return;
        if (window) XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
};

// Waits for the next event that `match` accepts, giving up after `timeoutMs` without one or
// when `stop` is set.
template <class Match>
bool WaitFor(Display* d, XEvent& event, Match match, const std::atomic<bool>& stop, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        while (XPending(d) > 0) {
            XNextEvent(d, &event);
            if (match(event)) return true;
        }
        if (stop.load()) return false;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd pfd{ConnectionNumber(d), POLLIN, 0};
        // Short slices, so a stop request is seen soon.
        ::poll(&pfd, 1, static_cast<int>(left < 50 ? left : 50));
    }
}

// What the owner answered: the type it gave its text and the bytes.
struct Reply {
    Atom type = None;
    int format = 8;
    std::string bytes;
};

enum class Take { kOk, kMissing, kTooLarge };

// Takes the property's whole value and deletes it (which, during an INCR transfer, asks the
// owner for the next piece). A value of more than maxBytes is not read at all.
Take TakeProperty(Display* d, Window w, Atom property, std::size_t maxBytes, Reply& reply) {
    unsigned char* data = nullptr;
    int format = 0;
    unsigned long items = 0, after = 0;
    Atom type = None;
    // First only its size.
    if (XGetWindowProperty(d, w, property, 0, 0, False, AnyPropertyType, &type, &format, &items,
                           &after, &data) != Success)
        return Take::kMissing;
    if (data) XFree(data);
    if (type == None) return Take::kMissing;
    if (after > maxBytes) {
        XDeleteProperty(d, w, property);
        return Take::kTooLarge;
    }
    data = nullptr;
    if (XGetWindowProperty(d, w, property, 0, LONG_MAX / 4, True, AnyPropertyType, &reply.type,
                           &reply.format, &items, &after, &data) != Success)
        return Take::kMissing;
    if (data) {
        const std::size_t unit =
            reply.format == 32 ? sizeof(long) : static_cast<std::size_t>(reply.format / 8);
        reply.bytes.assign(reinterpret_cast<const char*>(data), items * unit);
        XFree(data);
    } else {
        reply.bytes.clear();
    }
    return reply.type != None ? Take::kOk : Take::kMissing;
}

class Selection {
public:
    Selection(Connection& c, const std::atomic<bool>& stop, int timeoutMs, std::size_t maxBytes)
        : m_d(c.display),
          m_w(c.window),
          m_stop(stop),
          m_timeoutMs(timeoutMs),
          m_maxBytes(maxBytes) {}

    Atom Intern(const char* name) const { return XInternAtom(m_d, name, False); }

    // Asks the owner of CLIPBOARD for it as `target`; false when it refuses, does not answer
    // or sends more than the limit.
    bool Convert(Atom target, Reply& reply) {
        const Atom clipboard = Intern("CLIPBOARD");
        const Atom property = Intern("VELKON_CLIPBOARD");
        XConvertSelection(m_d, clipboard, target, property, m_w, CurrentTime);
        XFlush(m_d);
        XEvent event;
        const Window w = m_w;
        if (!WaitFor(
                m_d, event,
                [&](const XEvent& e) {
                    return e.type == SelectionNotify && e.xselection.requestor == w &&
                           e.xselection.selection == clipboard;
                },
                m_stop, m_timeoutMs))
            return false;
        if (event.xselection.property == None) return false;
        if (TakeProperty(m_d, w, property, m_maxBytes, reply) != Take::kOk) return false;
        if (reply.type != Intern("INCR")) return true;

        // The owner sends its text in pieces, each announced as a new value of the property;
        // an empty one ends the transfer. The INCR value is what the owner expects to send at
        // least.
        long expected = 0;
        if (reply.bytes.size() >= sizeof expected)
            std::memcpy(&expected, reply.bytes.data(), sizeof expected);
        if (expected > 0 && static_cast<unsigned long>(expected) > m_maxBytes) return false;
        std::string whole;
        Reply piece;
        for (;;) {
            if (!WaitFor(
                    m_d, event,
                    [&](const XEvent& e) {
                        return e.type == PropertyNotify && e.xproperty.window == w &&
                               e.xproperty.atom == property &&
                               e.xproperty.state == PropertyNewValue;
                    },
                    m_stop, m_timeoutMs))
                return false;
            const Take take = TakeProperty(m_d, w, property, m_maxBytes - whole.size(), piece);
            if (take == Take::kTooLarge) return false;
            if (take == Take::kMissing) continue;
            if (piece.bytes.empty()) break;
            whole += piece.bytes;
            reply.type = piece.type;
            reply.format = piece.format;
        }
        reply.bytes = std::move(whole);
        return true;
    }

private:
    Display* m_d;
    Window m_w;
    const std::atomic<bool>& m_stop;
    int m_timeoutMs;
    std::size_t m_maxBytes;
};

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (unsigned char c : latin1) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Conversions to UTF-8 by the C library, opened once for each character set one text needs.
class Converters {
public:
    ~Converters() {
        for (auto& [name, cd] : m_open)
            if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
    // Appends `bytes` of `charset` as UTF-8; what cannot be converted becomes "?".
    void Append(std::string& out, const std::string& charset, std::string_view bytes) {
        auto it = m_open.find(charset);
        if (it == m_open.end())
            it = m_open.emplace(charset, iconv_open("UTF-8", charset.c_str())).first;
        const iconv_t cd = it->second;
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            out.append(bytes.size() ? 1 : 0, '?');
            return;
        }
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        std::string in(bytes);
        char* src = in.data();
        std::size_t srcLeft = in.size();
        char buffer[1024];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
                out += '?';
                ++src;  // skip the byte it could not take
                --srcLeft;
            }
        }
    }

private:
    std::map<std::string, iconv_t> m_open;
};

// A character set of ISO 2022 as COMPOUND_TEXT designates it: how many bytes a character takes
// and how its bytes become text.
struct Charset {
    enum Kind { kAscii, kLatin, kKana, kDouble, kNone } kind = kAscii;
    std::string iconvName;  // for kLatin (the right half) and kDouble (in EUC form)
};

Charset Designated94(char final) {
    switch (final) {
        case 'B':
        case 'J':  // JIS X 0201 Roman: ASCII but for two signs that read the same in CP932
            return {Charset::kAscii, {}};
        case 'I':
            return {Charset::kKana, {}};
        default:
            return {Charset::kNone, {}};
    }
}

Charset Designated96(char final) {
    static const std::map<char, const char*> latin = {
        {'A', "ISO-8859-1"}, {'B', "ISO-8859-2"}, {'C', "ISO-8859-3"}, {'D', "ISO-8859-4"},
        {'F', "ISO-8859-7"}, {'G', "ISO-8859-6"}, {'H', "ISO-8859-8"}, {'L', "ISO-8859-5"},
        {'M', "ISO-8859-9"}, {'b', "ISO-8859-15"}};
    const auto it = latin.find(final);
    return it == latin.end() ? Charset{Charset::kNone, {}} : Charset{Charset::kLatin, it->second};
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
            return {Charset::kNone, {}};
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

}  // namespace

std::string CompoundTextToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    Converters converters;
    Charset gl{Charset::kAscii, {}};
    Charset gr{Charset::kLatin, "ISO-8859-1"};
    std::size_t i = 0;
    const auto at = [&](std::size_t k) -> unsigned char {
        return k < text.size() ? static_cast<unsigned char>(text[k]) : 0;
    };
    while (i < text.size()) {
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
                const std::size_t end = text.find("\x1B%@", i + 3);
                out.append(text.substr(i + 3, end == std::string_view::npos ? end : end - i - 3));
                i = end == std::string_view::npos ? text.size() : end + 3;
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
                        out.append(bytes.empty() ? 0 : 1, '?');
                    else
                        converters.Append(out, charset, bytes);
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
            if (c == '\t' || c == '\n') out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (c == 0x20) {
            out += ' ';
            ++i;
            continue;
        }
        const Charset& set = c < 0x80 ? gl : gr;
        switch (set.kind) {
            case Charset::kAscii:
                out += static_cast<char>(c & 0x7F);
                ++i;
                break;
            case Charset::kLatin: {
                // Only GR holds a 96-character set, so the byte is the set's own.
                const char byte = static_cast<char>(c);
                if (set.iconvName == "ISO-8859-1")
                    AppendUtf8(out, c);
                else
                    converters.Append(out, set.iconvName, std::string_view(&byte, 1));
                ++i;
                break;
            }
            case Charset::kKana:
                if ((c & 0x7F) >= 0x21 && (c & 0x7F) <= 0x5F)
                    AppendUtf8(out, 0xFF61 + ((c & 0x7F) - 0x21));
                else
                    out += '?';
                ++i;
                break;
            case Charset::kDouble: {
                const unsigned char lead = c & 0x7F, trail = at(i + 1) & 0x7F;
                if (lead >= 0x21 && lead <= 0x7E && trail >= 0x21 && trail <= 0x7E &&
                    ((at(i + 1) & 0x80) == (c & 0x80))) {
                    const char euc[2] = {static_cast<char>(lead | 0x80),
                                         static_cast<char>(trail | 0x80)};
                    converters.Append(out, set.iconvName, std::string_view(euc, 2));
                    i += 2;
                } else {
                    out += '?';
                    ++i;
                }
                break;
            }
            case Charset::kNone:
                out += '?';
                ++i;
                break;
        }
    }
    return out;
}

std::optional<std::string> ReadClipboardText(const std::atomic<bool>& stop, int timeoutMs,
                                             std::size_t maxBytes) {
    Connection c;
    if (!c.display) return std::nullopt;
    Display* d = c.display;
    c.window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    // Before anything is asked for: the pieces of a large answer are announced as changes of
    // the window's property.
    XSelectInput(d, c.window, PropertyChangeMask);
    Selection selection(c, stop, timeoutMs, maxBytes);
    if (XGetSelectionOwner(d, selection.Intern("CLIPBOARD")) == None) return std::nullopt;

    const Atom utf8 = selection.Intern("UTF8_STRING");
    const Atom compound = selection.Intern("COMPOUND_TEXT");
    // The forms of text, best first; an owner answering TEXT picks one of the others itself.
    const std::vector<Atom> preferred = {utf8,
                                         selection.Intern("text/plain;charset=utf-8"),
                                         selection.Intern("text/plain;charset=UTF-8"),
                                         compound,
                                         selection.Intern("TEXT"),
                                         XA_STRING};
    std::vector<Atom> offered;
    Reply targets;
    if (selection.Convert(selection.Intern("TARGETS"), targets) && targets.format == 32) {
        const std::size_t n = targets.bytes.size() / sizeof(long);
        for (std::size_t k = 0; k < n; ++k) {
            long value = 0;
            std::memcpy(&value, targets.bytes.data() + k * sizeof(long), sizeof value);
            offered.push_back(static_cast<Atom>(value));
        }
    } else if (stop.load()) {
        return std::nullopt;
    }
    const auto isOffered = [&](Atom a) {
        // An owner that does not list its targets is asked for each form in turn.
        return offered.empty() || std::find(offered.begin(), offered.end(), a) != offered.end();
    };

    for (const Atom target : preferred) {
        if (!isOffered(target)) continue;
        Reply reply;
        if (!selection.Convert(target, reply)) {
            if (stop.load()) return std::nullopt;
            continue;
        }
        if (reply.type == XA_STRING) return Latin1ToUtf8(reply.bytes);
        if (reply.type == compound) return CompoundTextToUtf8(reply.bytes);
        if (reply.format == 8 && reply.type != XA_ATOM) return std::move(reply.bytes);
    }
    return std::nullopt;
}

}  // namespace x11sel
