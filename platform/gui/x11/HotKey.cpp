#include "platform/gui/x11/HotKey.h"

#include <QtGui/qguiapplication_platform.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QGuiApplication>
#include <utility>
#include <vector>

#include "platform/base/AfxRes.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/frame/CFrameWnd.h"
#include "platform/gui/portal/GlobalShortcuts.h"
#include "platform/gui/window/CWnd.h"

// Xlib last: its macros (None, Bool, KeyPress...) would clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace {

HotKeyHook* s_pHook = nullptr;

struct Registration {
    HWND hWnd;
    int id;
    UINT fsModifiers;
    UINT vk;
    unsigned keycode;
    unsigned xmods;
};

std::vector<Registration>& Registrations() {
    static std::vector<Registration> registrations;
    return registrations;
}

// Num Lock and Caps Lock change the modifier state of a key press, so each combination is
// grabbed with every mix of the two.
constexpr unsigned kLockVariants[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};
constexpr unsigned kMeaningfulMods = ShiftMask | ControlMask | Mod1Mask | Mod4Mask;

Display* XDisplay() {
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

unsigned XModsOf(UINT fsModifiers) {
    unsigned mods = 0;
    if (fsModifiers & MOD_ALT) mods |= Mod1Mask;
    if (fsModifiers & MOD_CONTROL) mods |= ControlMask;
    if (fsModifiers & MOD_SHIFT) mods |= ShiftMask;
    if (fsModifiers & MOD_WIN) mods |= Mod4Mask;
    return mods;
}

class HotKeyFilter : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_KEY_PRESS) return false;
        const auto* press = static_cast<const xcb_key_press_event_t*>(message);
        const unsigned mods = press->state & kMeaningfulMods;
        for (const Registration& r : Registrations()) {
            if (r.keycode == press->detail && r.xmods == mods) {
                ::PostMessage(
                    r.hWnd, WM_HOTKEY, static_cast<WPARAM>(r.id),
                    MAKELPARAM(static_cast<WORD>(r.fsModifiers), static_cast<WORD>(r.vk)));
                return true;
            }
        }
        return false;
    }
};

void EnsureFilter() {
    static HotKeyFilter* filter = nullptr;
    if (filter) return;
    filter = new HotKeyFilter;  // lives as long as the application's event loop
    qGuiApp->installNativeEventFilter(filter);
}

bool s_bGrabFailed = false;
int OnGrabError(Display*, XErrorEvent* error) {
    if (error->error_code == BadAccess) s_bGrabFailed = true;
    return 0;
}

void Ungrab(Display* display, const Registration& r) {
    const Window root = DefaultRootWindow(display);
    for (unsigned lock : kLockVariants)
        XUngrabKey(display, static_cast<int>(r.keycode), r.xmods | lock, root);
    XSync(display, False);
}

BOOL RemoveRegistration(HWND hWnd, int id) {
    auto& regs = Registrations();
    for (auto it = regs.begin(); it != regs.end(); ++it) {
        if (it->hWnd == hWnd && it->id == id) {
            if (Display* display = XDisplay()) Ungrab(display, *it);
            regs.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace

unsigned long KeySymFromVirtualKey(UINT vk) {
    if (vk >= 'A' && vk <= 'Z') return XK_a + (vk - 'A');
    if (vk >= '0' && vk <= '9') return XK_0 + (vk - '0');
    if (vk >= 0x70 && vk <= 0x87) return XK_F1 + (vk - 0x70);  // F1-F24
    if (vk >= 0x60 && vk <= 0x69) return XK_KP_0 + (vk - 0x60);
    switch (vk) {
        case 0x08:
            return XK_BackSpace;
        case 0x09:
            return XK_Tab;
        case 0x0D:
            return XK_Return;
        case 0x13:
            return XK_Pause;
        case 0x1B:
            return XK_Escape;
        case 0x20:
            return XK_space;
        case 0x21:
            return XK_Prior;
        case 0x22:
            return XK_Next;
        case 0x23:
            return XK_End;
        case 0x24:
            return XK_Home;
        case 0x25:
            return XK_Left;
        case 0x26:
            return XK_Up;
        case 0x27:
            return XK_Right;
        case 0x28:
            return XK_Down;
        case 0x2C:
            return XK_Print;
        case 0x2D:
            return XK_Insert;
        case 0x2E:
            return XK_Delete;
        case 0x6A:
            return XK_KP_Multiply;
        case 0x6B:
            return XK_KP_Add;
        case 0x6D:
            return XK_KP_Subtract;
        case 0x6E:
            return XK_KP_Decimal;
        case 0x6F:
            return XK_KP_Divide;
        case 0x90:
            return XK_Num_Lock;
        case 0x91:
            return XK_Scroll_Lock;
        case 0xBA:
            return XK_semicolon;
        case 0xBB:
            return XK_equal;
        case 0xBC:
            return XK_comma;
        case 0xBD:
            return XK_minus;
        case 0xBE:
            return XK_period;
        case 0xBF:
            return XK_slash;
        case 0xC0:
            return XK_grave;
        case 0xDB:
            return XK_bracketleft;
        case 0xDC:
            return XK_backslash;
        case 0xDD:
            return XK_bracketright;
        case 0xDE:
            return XK_apostrophe;
        default:
            return 0;
    }
}

HotKeyHook* SetHotKeyHook(HotKeyHook* pHook) {
    HotKeyHook* previous = s_pHook;
    s_pHook = pHook;
    return previous;
}

namespace {

BOOL GrabOnX11(HWND hWnd, int id, UINT fsModifiers, UINT vk) {
    Display* display = XDisplay();
    const unsigned long keysym = KeySymFromVirtualKey(vk);
    if (!display || keysym == 0) return FALSE;
    const unsigned keycode = XKeysymToKeycode(display, keysym);
    if (keycode == 0) return FALSE;
    RemoveRegistration(hWnd, id);

    const Registration r{hWnd, id, fsModifiers, vk, keycode, XModsOf(fsModifiers)};
    const Window root = DefaultRootWindow(display);
    XSync(display, False);
    s_bGrabFailed = false;
    XErrorHandler previous = XSetErrorHandler(OnGrabError);
    for (unsigned lock : kLockVariants)
        XGrabKey(display, static_cast<int>(keycode), r.xmods | lock, root, False, GrabModeAsync,
                 GrabModeAsync);
    XSync(display, False);
    XSetErrorHandler(previous);
    if (s_bGrabFailed) {
        Ungrab(display, r);
        return FALSE;
    }
    EnsureFilter();
    Registrations().push_back(r);
    return TRUE;
}

// Where the X11 grab stands in for the portal the user is told once: it hears the key only while
// one of the program's windows has the focus.
void SayFocusOnly() {
    static bool said = false;
    if (std::exchange(said, true)) return;
    const CString text = AfxLoadString(AFX_IDS_HOTKEY_FOCUS_ONLY);
    AfxLogMessage(text);
    if (CWinApp* app = AfxGetApp())
        if (auto* frame = dynamic_cast<CFrameWnd*>(app->m_pMainWnd)) frame->SetMessageText(text);
}

}  // namespace

BOOL RegisterHotKey(HWND hWnd, int id, UINT fsModifiers, UINT vk) {
    if (s_pHook) return s_pHook->Register(hWnd, id, fsModifiers, vk);
    // An X11 grab under XWayland misses the keys typed into Wayland windows; the desktop's
    // portal does not. Without one the grab is still better than nothing.
    if (qGuiApp && portal_shortcuts::InWaylandSession()) {
        RemoveRegistration(hWnd, id);
        return portal_shortcuts::Bind(hWnd, id, fsModifiers, vk, [=] {
            if (GrabOnX11(hWnd, id, fsModifiers, vk)) SayFocusOnly();
        });
    }
    return GrabOnX11(hWnd, id, fsModifiers, vk);
}

BOOL UnregisterHotKey(HWND hWnd, int id) {
    if (s_pHook) return s_pHook->Unregister(hWnd, id);
    const BOOL bound = portal_shortcuts::Unbind(hWnd, id);
    return RemoveRegistration(hWnd, id) || bound;
}
