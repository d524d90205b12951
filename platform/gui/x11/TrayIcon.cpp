#include "platform/gui/x11/TrayIcon.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QObject>
#include <QSystemTrayIcon>
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/base/CString.h"
#include "platform/base/CodePage.h"
#include "platform/base/Mbcs.h"
#include "platform/gui/drawing/PixelArt.h"
#include "platform/gui/window/CWnd.h"
#include "platform/gui/window/QtText.h"

namespace {

struct Icon {
    std::unique_ptr<QSystemTrayIcon> tray;
    std::string tip;              // CP932
    bool statusNotifier = false;  // Qt put it on the session bus rather than in an XEmbed tray
};

std::optional<TrayHost>& HostForTests() {
    static std::optional<TrayHost> host;
    return host;
}

// Qt shows its icons through a StatusNotifierItem host when, as its first icon is made, the
// watcher is on the session bus and says a host is registered (read as Qt reads it, through
// the watcher's own description); otherwise in an XEmbed tray. It decides once per process and
// does not say which, so the same question is asked here, once, right after Qt asked it.
bool QtChoseStatusNotifier() {
    static const bool chosen = [] {
        const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
        const QDBusConnection bus = QDBusConnection::sessionBus();
        const QDBusConnectionInterface* busInterface =
            bus.isConnected() ? bus.interface() : nullptr;
        if (!busInterface || !busInterface->isServiceRegistered(watcher).value()) return false;
        QDBusInterface host(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher, bus);
        return host.isValid() && host.property("IsStatusNotifierHostRegistered").toBool();
    }();
    return chosen;
}

TrayHost HostOf(const Icon& icon) {
    if (HostForTests()) return *HostForTests();
    if (icon.statusNotifier) return TrayHost::StatusNotifier;
    return QSystemTrayIcon::isSystemTrayAvailable() ? TrayHost::XEmbed : TrayHost::None;
}

std::map<std::pair<HWND, UINT>, Icon>& Icons() {
    static std::map<std::pair<HWND, UINT>, Icon> icons;
    return icons;
}

// The tip field ends at byte 63; a double-byte character is never cut in half.
std::string TipOf(const NOTIFYICONDATA& data) {
    std::string_view s(data.szTip, sizeof(data.szTip));
    s = s.substr(0, std::min(s.find('\0'), sizeof(data.szTip) - 1));
    std::size_t end = 0;
    while (end < s.size()) {
        if (mbcs::IsLeadByte(static_cast<unsigned char>(s[end])) && end + 1 == s.size()) break;
        end += mbcs::CharLength(s, end);
    }
    return std::string(s.substr(0, end));
}

void Apply(Icon& icon, const NOTIFYICONDATA& data) {
    if (data.uFlags & NIF_ICON) {
        const auto id = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(data.hIcon));
        icon.tray->setIcon(IconFromResource(id));
    }
    if (data.uFlags & NIF_TIP) {
        icon.tip = TipOf(data);
        icon.tray->setToolTip(ToQt(icon.tip));
    }
    if (data.uFlags & NIF_MESSAGE) {
        QObject::disconnect(icon.tray.get(), &QSystemTrayIcon::activated, nullptr, nullptr);
        const HWND hWnd = data.hWnd;
        const UINT id = data.uID;
        const UINT message = data.uCallbackMessage;
        const Icon* self = &icon;  // the map's node, which lives as long as the connection
        QObject::connect(
            icon.tray.get(), &QSystemTrayIcon::activated,
            [hWnd, id, message, self](QSystemTrayIcon::ActivationReason reason) {
                UINT mouse = 0;
                if (reason == QSystemTrayIcon::DoubleClick) mouse = WM_LBUTTONDBLCLK;
                // An XEmbed tray also reports the first click of every double click this way.
                if (reason == QSystemTrayIcon::Trigger && HostOf(*self) == TrayHost::StatusNotifier)
                    mouse = WM_LBUTTONDBLCLK;
                if (reason == QSystemTrayIcon::Context) mouse = WM_RBUTTONDOWN;
                if (mouse) ::PostMessage(hWnd, message, id, mouse);
            });
    }
}

}  // namespace

BOOL Shell_NotifyIcon(DWORD dwMessage, NOTIFYICONDATA* lpData) {
    if (!lpData) return FALSE;
    auto& icons = Icons();
    const auto key = std::make_pair(lpData->hWnd, lpData->uID);
    auto it = icons.find(key);
    switch (dwMessage) {
        case NIM_ADD: {
            if (it != icons.end()) return FALSE;
            Icon& icon = icons[key];
            icon.tray = std::make_unique<QSystemTrayIcon>();
            Apply(icon, *lpData);
            icon.tray->show();
            icon.statusNotifier = !HostForTests() && QtChoseStatusNotifier();
            return HostOf(icon) != TrayHost::None ? TRUE : FALSE;
        }
        case NIM_MODIFY:
            if (it == icons.end()) return FALSE;
            Apply(it->second, *lpData);
            return TRUE;
        case NIM_DELETE:
            if (it == icons.end()) return FALSE;
            it->second.tray->hide();
            icons.erase(it);
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL IsNotifyIconPresent(HWND hWnd, UINT uID) {
    return Icons().count({hWnd, uID}) ? TRUE : FALSE;
}

CString GetNotifyIconTip(HWND hWnd, UINT uID) {
    const auto it = Icons().find({hWnd, uID});
    return it == Icons().end() ? CString() : CString(it->second.tip);
}

TrayHost GetNotifyIconHost(HWND hWnd, UINT uID) {
    const auto it = Icons().find({hWnd, uID});
    return it == Icons().end() ? TrayHost::None : HostOf(it->second);
}

std::optional<TrayHost> SetTrayHostForTests(std::optional<TrayHost> host) {
    return std::exchange(HostForTests(), host);
}

BOOL GetCursorPos(POINT* lpPoint) {
    if (!lpPoint) return FALSE;
    const QPoint p = QCursor::pos();
    lpPoint->x = p.x();
    lpPoint->y = p.y();
    return TRUE;
}
