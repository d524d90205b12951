#include "platform/gui/x11/TrayIcon.h"

#include <QCursor>
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
    std::string tip;  // CP932
};

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
        QObject::connect(icon.tray.get(), &QSystemTrayIcon::activated,
                         [hWnd, id, message](QSystemTrayIcon::ActivationReason reason) {
                             UINT mouse = 0;
                             if (reason == QSystemTrayIcon::DoubleClick) mouse = WM_LBUTTONDBLCLK;
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
            return QSystemTrayIcon::isSystemTrayAvailable() ? TRUE : FALSE;
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

BOOL GetCursorPos(POINT* lpPoint) {
    if (!lpPoint) return FALSE;
    const QPoint p = QCursor::pos();
    lpPoint->x = p.x();
    lpPoint->y = p.y();
    return TRUE;
}
