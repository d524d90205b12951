#include "platform/gui/x11/X11Selection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "platform/base/CompoundText.h"

namespace x11sel {

namespace {

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

// The property read in slices of this many bytes straight into the reply (or the sink), rather
// than whole into a buffer of Xlib's and copied from there.
constexpr long kSliceLongs = 256 * 1024;

// Takes the property's whole value and deletes it (which, during an INCR transfer, asks the
// owner for the next piece). A value of more than maxBytes is not read at all. The bytes go to
// the sink when one is given and the value is text of type `streamed`, else they are appended
// to reply.bytes; `sunk` counts what went to the sink.
Take TakeProperty(Display* d, Window w, Atom property, std::size_t maxBytes, Reply& reply,
                  TextSink* sink, Atom streamed, std::size_t& sunk) {
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
    const bool toSink = sink && type == streamed && format == 8;
    if (!toSink && reply.bytes.capacity() < reply.bytes.size() + after)
        reply.bytes.reserve(std::min(reply.bytes.size() + after, kMaxTransferBytes));
    reply.type = type;
    reply.format = format;
    // Text for the sink is held in Xlib's replies until the property is deleted: during an INCR
    // transfer the owner then sends its next piece while the sink works on this one.
    std::vector<std::pair<unsigned char*, std::size_t>> held;
    const auto release = [&held] {
        for (const auto& [bytes, n] : held) XFree(bytes);
        held.clear();
    };
    for (long offset = 0;; offset += kSliceLongs) {
        data = nullptr;
        if (XGetWindowProperty(d, w, property, offset, kSliceLongs, False, AnyPropertyType, &type,
                               &format, &items, &after, &data) != Success ||
            type == None) {
            if (data) XFree(data);
            release();
            XDeleteProperty(d, w, property);
            return Take::kMissing;
        }
        if (data) {
            const std::size_t unit =
                format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
            if (toSink) {
                held.emplace_back(data, items * unit);
            } else {
                reply.bytes.append(reinterpret_cast<const char*>(data), items * unit);
                XFree(data);
            }
        }
        if (after == 0 || items == 0) break;
    }
    XDeleteProperty(d, w, property);
    if (held.empty()) return Take::kOk;
    XFlush(d);
    for (const auto& [bytes, n] : held) {
        sink->Take(std::string_view(reinterpret_cast<const char*>(bytes), n));
        sunk += n;
    }
    release();
    return Take::kOk;
}

class Selection {
public:
    Selection(Display* d, Window w, const std::atomic<bool>& stop, int timeoutMs,
              std::size_t maxBytes)
        : m_d(d), m_w(w), m_stop(stop), m_timeoutMs(timeoutMs), m_maxBytes(maxBytes) {}

    Atom Intern(const char* name) const { return XInternAtom(m_d, name, False); }

    // Asks the owner of CLIPBOARD for it as `target`. With a sink, text of that very type goes
    // there as it arrives (counted in `sunk`); anything else ends up in reply. False when the
    // owner refuses, does not answer or sends more than the limit: with `sunk` 0 nothing
    // reached the sink.
    bool Convert(Atom target, Reply& reply, TextSink* sink, std::size_t& sunk) {
        sunk = 0;
        const Atom clipboard = Intern("CLIPBOARD");
        const Atom property = Intern("VELKON_CLIPBOARD");
        const Atom incr = Intern("INCR");
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
        if (TakeProperty(m_d, w, property, m_maxBytes, reply, sink, target, sunk) != Take::kOk)
            return false;
        if (reply.type != incr) return true;

        // The owner sends its text in pieces, each announced as a new value of the property;
        // an empty one ends the transfer. The INCR value is what the owner expects to send at
        // least.
        long expected = 0;
        if (reply.bytes.size() >= sizeof expected)
            std::memcpy(&expected, reply.bytes.data(), sizeof expected);
        if (expected > 0 && static_cast<unsigned long>(expected) > m_maxBytes) return false;
        if (sink && expected > 0) sink->Expect(static_cast<std::size_t>(expected));
        reply.bytes.clear();
        reply.type = None;
        std::size_t total = 0;
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
            const std::size_t before = reply.bytes.size() + sunk;
            const Take take =
                TakeProperty(m_d, w, property, m_maxBytes - total, reply, sink, target, sunk);
            if (take == Take::kTooLarge) return false;
            if (take == Take::kMissing) continue;
            const std::size_t piece = reply.bytes.size() + sunk - before;
            if (piece == 0) break;
            total += piece;
        }
        // Text of the very type asked for went to the sink; had the owner given its pieces
        // another, they are in reply, and part of the text in two places is no text.
        if (sunk > 0 && !reply.bytes.empty()) return false;
        if (sunk > 0) reply.type = target;
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

// One reading over the window given.
Outcome ReadThrough(Display* d, Window window, TextSink& sink, const std::atomic<bool>& stop,
                    int timeoutMs, std::size_t maxBytes) {
    Selection selection(d, window, stop, timeoutMs, maxBytes);
    if (XGetSelectionOwner(d, selection.Intern("CLIPBOARD")) == None) return Outcome::kNone;

    const Atom utf8 = selection.Intern("UTF8_STRING");
    const Atom plainUtf8 = selection.Intern("text/plain;charset=utf-8");
    const Atom plainUtf8Upper = selection.Intern("text/plain;charset=UTF-8");
    const Atom compound = selection.Intern("COMPOUND_TEXT");
    // The forms of text, best first; an owner answering TEXT picks one of the others itself.
    const std::vector<Atom> preferred = {
        utf8, plainUtf8, plainUtf8Upper, compound, selection.Intern("TEXT"), XA_STRING};
    std::vector<Atom> offered;
    Reply targets;
    std::size_t sunk = 0;
    if (selection.Convert(selection.Intern("TARGETS"), targets, nullptr, sunk) &&
        targets.format == 32) {
        const std::size_t n = targets.bytes.size() / sizeof(long);
        for (std::size_t k = 0; k < n; ++k) {
            long value = 0;
            std::memcpy(&value, targets.bytes.data() + k * sizeof(long), sizeof value);
            offered.push_back(static_cast<Atom>(value));
        }
    } else if (stop.load()) {
        return Outcome::kNone;
    }
    const auto isOffered = [&](Atom a) {
        // An owner that does not list its targets is asked for each form in turn.
        return offered.empty() || std::find(offered.begin(), offered.end(), a) != offered.end();
    };

    for (const Atom target : preferred) {
        if (!isOffered(target)) continue;
        Reply reply;
        // UTF-8 itself goes to the sink as it comes; any other form is decoded once whole.
        const bool utf8Form = target == utf8 || target == plainUtf8 || target == plainUtf8Upper;
        if (!selection.Convert(target, reply, utf8Form ? &sink : nullptr, sunk)) {
            if (sunk > 0) return Outcome::kCut;
            if (stop.load()) return Outcome::kNone;
            continue;
        }
        if (sunk > 0) return Outcome::kWhole;
        if (reply.type == XA_STRING) {
            sink.Take(Latin1ToUtf8(reply.bytes));
            return Outcome::kWhole;
        }
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
            std::optional<std::string> text = compound_text::ToUtf8(reply.bytes, &stop, giveBack);
            if (!text) return Outcome::kNone;
            sink.Take(*text);
            return Outcome::kWhole;
        }
        if (reply.format == 8 && reply.type != XA_ATOM) {
            sink.Take(reply.bytes);
            return Outcome::kWhole;
        }
    }
    return Outcome::kNone;
}

}  // namespace

struct Requestor::Windows {
    Display* display = nullptr;
    std::deque<Window> kept;  // of readings given up for a newer copy, oldest first
};

Requestor::Requestor() : m_windows(std::make_unique<Windows>()) {}

Requestor::~Requestor() {
    Display* d = m_windows->display;
    if (!d) return;
    for (const Window w : m_windows->kept) XDestroyWindow(d, w);
    XCloseDisplay(d);
}

Outcome Requestor::ReadClipboardText(TextSink& sink, const std::atomic<bool>& stop, int timeoutMs,
                                     std::size_t maxBytes) {
    Windows& windows = *m_windows;
    if (!windows.display) windows.display = XOpenDisplay(nullptr);
    Display* d = windows.display;
    if (!d) return Outcome::kNone;
    // What came for the windows of readings given up is of no use now.
    XSync(d, False);
    XEvent stale;
    while (XPending(d) > 0) XNextEvent(d, &stale);
    const Window window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    // Before anything is asked for: the pieces of a large answer are announced as changes of
    // the window's property.
    XSelectInput(d, window, PropertyChangeMask);
    const Outcome outcome = ReadThrough(d, window, sink, stop, timeoutMs, maxBytes);
    if (!stop.load()) {
        // Read to the end, or given up here (too large, silent too long): nobody answers into
        // it any more, or an owner still sending is meant to learn from its going that the
        // rest is not wanted.
        XDestroyWindow(d, window);
    } else {
        windows.kept.push_back(window);
        if (windows.kept.size() > kKeptWindows) {
            XDestroyWindow(d, windows.kept.front());
            windows.kept.pop_front();
        }
    }
    XFlush(d);
    return outcome;
}

}  // namespace x11sel
