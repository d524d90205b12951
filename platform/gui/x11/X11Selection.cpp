#include "platform/gui/x11/X11Selection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/base/CompoundText.h"

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

// A block of an incremental transfer, in pages of its own that go back to the system the moment
// it is let go: the allocator would keep freed blocks of this size for later, so while the whole
// was put together the text would take its memory twice.
class Block {
public:
    static constexpr std::size_t kBytes = std::size_t{1} << 20;
    Block()
        : m_data(static_cast<char*>(::mmap(nullptr, kBytes, PROT_READ | PROT_WRITE,
                                           MAP_PRIVATE | MAP_ANONYMOUS, -1, 0))) {
        if (m_data == MAP_FAILED) m_data = nullptr;
    }
    explicit Block(std::nullptr_t) {}
    Block(Block&& other) noexcept
        : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)) {}
    Block& operator=(Block&& other) noexcept {
        if (this != &other) {
            Release();
            m_data = std::exchange(other.m_data, nullptr);
            m_size = std::exchange(other.m_size, 0);
        }
        return *this;
    }
    ~Block() { Release(); }

    bool Valid() const { return m_data != nullptr; }
    bool Full() const { return m_size == kBytes; }
    // How much of `bytes` it took.
    std::size_t Append(std::string_view bytes) {
        const std::size_t n = std::min(bytes.size(), kBytes - m_size);
        std::memcpy(m_data + m_size, bytes.data(), n);
        m_size += n;
        return n;
    }
    std::string_view View() const { return {m_data, m_size}; }

private:
    void Release() {
        if (m_data) ::munmap(m_data, kBytes);
        m_data = nullptr;
        m_size = 0;
    }
    char* m_data = nullptr;
    std::size_t m_size = 0;
};

// The property read in slices of this many bytes straight into the reply, rather than whole
// into a buffer of Xlib's and copied from there.
constexpr long kSliceLongs = 256 * 1024;

// Takes the property's whole value and deletes it (which, during an INCR transfer, asks the
// owner for the next piece). A value of more than maxBytes is not read at all. The bytes are
// appended to `reply.bytes`.
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
    if (reply.bytes.capacity() < reply.bytes.size() + after)
        reply.bytes.reserve(std::min(reply.bytes.size() + after, kMaxTransferBytes));
    reply.type = type;
    reply.format = format;
    for (long offset = 0;; offset += kSliceLongs) {
        data = nullptr;
        if (XGetWindowProperty(d, w, property, offset, kSliceLongs, False, AnyPropertyType, &type,
                               &format, &items, &after, &data) != Success ||
            type == None) {
            if (data) XFree(data);
            XDeleteProperty(d, w, property);
            return Take::kMissing;
        }
        if (data) {
            const std::size_t unit =
                format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
            reply.bytes.append(reinterpret_cast<const char*>(data), items * unit);
            XFree(data);
        }
        if (after == 0 || items == 0) break;
    }
    XDeleteProperty(d, w, property);
    return Take::kOk;
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
        reply.bytes.clear();
        if (TakeProperty(m_d, w, property, m_maxBytes, reply) != Take::kOk) return false;
        if (reply.type != Intern("INCR")) return true;

        // The owner sends its text in pieces, each announced as a new value of the property;
        // an empty one ends the transfer. The INCR value is what the owner expects to send at
        // least.
        long expected = 0;
        if (reply.bytes.size() >= sizeof expected)
            std::memcpy(&expected, reply.bytes.data(), sizeof expected);
        if (expected > 0 && static_cast<unsigned long>(expected) > m_maxBytes) return false;
        // The pieces are gathered in blocks and put together once their size is known: one
        // buffer growing with them would hold its old and its new copy at once, twice the text.
        std::vector<Block> blocks;
        std::size_t total = 0;
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
            piece.bytes.clear();
            const Take take = TakeProperty(m_d, w, property, m_maxBytes - total, piece);
            if (take == Take::kTooLarge) return false;
            if (take == Take::kMissing) continue;
            if (piece.bytes.empty()) break;
            total += piece.bytes.size();
            for (std::string_view rest = piece.bytes; !rest.empty();) {
                if (blocks.empty() || blocks.back().Full()) blocks.emplace_back();
                if (!blocks.back().Valid()) return false;  // no memory: given up like a large text
                rest.remove_prefix(blocks.back().Append(rest));
            }
            reply.type = piece.type;
            reply.format = piece.format;
        }
        std::string whole;
        whole.reserve(total);
        for (Block& block : blocks) {
            whole += block.View();
            block = Block(nullptr);
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
    out.reserve(latin1.size() +
                static_cast<std::size_t>(std::count_if(latin1.begin(), latin1.end(), [](char c) {
                    return static_cast<unsigned char>(c) >= 0x80;
                })));
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

}  // namespace

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
        if (reply.type == compound) {
            // The pages of the text already decoded go back as the UTF-8 grows, so the two
            // are not held whole at once.
            const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
            const auto base = reinterpret_cast<std::uintptr_t>(reply.bytes.data());
            std::uintptr_t from = (base + page - 1) / page * page;
            const auto giveBack = [&](std::size_t decoded) {
                const std::uintptr_t to = (base + decoded) / page * page;
                if (to <= from) return;
                ::madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
                from = to;
            };
            return compound_text::ToUtf8(reply.bytes, &stop, giveBack);
        }
        if (reply.format == 8 && reply.type != XA_ATOM) return std::move(reply.bytes);
    }
    return std::nullopt;
}

}  // namespace x11sel
