#include "platform/gui/X11Selection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <climits>

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

// Takes the property's whole value and deletes it (which, during an INCR transfer, asks the
// owner for the next piece). False when the property is not there.
bool TakeProperty(Display* d, Window w, Atom property, Atom& type, std::string& bytes) {
    unsigned char* data = nullptr;
    int format = 0;
    unsigned long items = 0, after = 0;
    if (XGetWindowProperty(d, w, property, 0, LONG_MAX / 4, True, AnyPropertyType, &type, &format,
                           &items, &after, &data) != Success)
        return false;
    if (data) {
        const std::size_t unit = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
        bytes.assign(reinterpret_cast<const char*>(data), items * unit);
        XFree(data);
    } else {
        bytes.clear();
    }
    return type != None;
}

std::string Latin1ToUtf8(const std::string& latin1) {
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

}  // namespace

std::optional<std::string> ReadClipboardText(const std::atomic<bool>& stop, int timeoutMs) {
    Connection c;
    if (!c.display) return std::nullopt;
    Display* d = c.display;
    c.window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    // Before anything is asked for: the pieces of a large answer are announced as changes of
    // the window's property.
    XSelectInput(d, c.window, PropertyChangeMask);
    const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    const Atom incr = XInternAtom(d, "INCR", False);
    const Atom property = XInternAtom(d, "VELKON_CLIPBOARD", False);
    if (XGetSelectionOwner(d, clipboard) == None) return std::nullopt;
    XConvertSelection(d, clipboard, utf8, property, c.window, CurrentTime);
    XFlush(d);

    XEvent event;
    const Window w = c.window;
    if (!WaitFor(
            d, event,
            [&](const XEvent& e) {
                return e.type == SelectionNotify && e.xselection.requestor == w &&
                       e.xselection.selection == clipboard;
            },
            stop, timeoutMs))
        return std::nullopt;
    if (event.xselection.property == None) return std::nullopt;

    Atom type = None;
    std::string bytes;
    if (!TakeProperty(d, w, property, type, bytes)) return std::nullopt;
    if (type == incr) {
        std::string whole;
        std::string piece;
        for (;;) {
            if (!WaitFor(
                    d, event,
                    [&](const XEvent& e) {
                        return e.type == PropertyNotify && e.xproperty.window == w &&
                               e.xproperty.atom == property &&
                               e.xproperty.state == PropertyNewValue;
                    },
                    stop, timeoutMs))
                return std::nullopt;
            Atom pieceType = None;
            if (!TakeProperty(d, w, property, pieceType, piece)) continue;
            if (piece.empty()) break;  // the owner's end of the transfer
            whole += piece;
            type = pieceType;
        }
        bytes = std::move(whole);
    }
    if (type == XA_STRING) return Latin1ToUtf8(bytes);
    if (type != utf8) return std::nullopt;
    return bytes;
}

}  // namespace x11sel
