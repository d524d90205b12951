#include "platform/gui/portal/GlobalShortcuts.h"

#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/gui/portal/PortalBinding.h"
#include "platform/gui/portal/ShortcutTrigger.h"

namespace portal_shortcuts {
namespace {

std::vector<std::unique_ptr<PortalBinding>>& Bindings() {
    static std::vector<std::unique_ptr<PortalBinding>> bindings;
    return bindings;
}

}  // namespace

bool InWaylandSession() {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    const char* type = std::getenv("XDG_SESSION_TYPE");
    return (display && *display) || (type && std::string_view(type) == "wayland");
}

BOOL Bind(HWND hWnd, int id, UINT fsModifiers, UINT vk, std::function<void()> unavailable) {
    Unbind(hWnd, id);
    const std::string trigger = ShortcutTrigger(fsModifiers, vk);
    if (trigger.empty()) return FALSE;
    Bindings().push_back(std::make_unique<PortalBinding>(
        hWnd, id, fsModifiers, vk, QString::fromStdString(trigger), std::move(unavailable)));
    Bindings().back()->Start();
    return TRUE;
}

BOOL Unbind(HWND hWnd, int id) {
    auto& bindings = Bindings();
    for (auto it = bindings.begin(); it != bindings.end(); ++it) {
        if ((*it)->Is(hWnd, id)) {
            bindings.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace portal_shortcuts
