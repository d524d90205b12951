#include "platform/ipc/Handles.h"

#include <unistd.h>

#include <atomic>
#include <cstring>
#include <unordered_map>

namespace afx_handles {
namespace {
std::unordered_map<HWND, LocalWindow*>& Locals() {
    static std::unordered_map<HWND, LocalWindow*> table;
    return table;
}
}  // namespace

HWND NewHandle() {
    // Never reused, so a stale handle can never reach a newer window. The process id in the high
    // half makes the value unique among all processes, so that a handle passed to another
    // process names this window there too (see WindowSocketPath).
    static std::atomic<std::uint32_t> next{0x10000};
    const auto pid = static_cast<std::uint64_t>(::getpid());
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>((pid << 32) | next.fetch_add(4)));
}

DWORD HandleProcessId(HWND h) {
    return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(h) >> 32);
}

void AttachLocal(HWND h, LocalWindow* window) {
    Locals()[h] = window;
}

void DetachLocal(HWND h) {
    Locals().erase(h);
}

LocalWindow* FindLocal(HWND h) {
    auto it = Locals().find(h);
    return it == Locals().end() ? nullptr : it->second;
}

HWND FindLocalByClass(const char* className) {
    for (const auto& [h, window] : Locals())
        if (window->IsTopLevel() && std::strcmp(window->ClassName(), className) == 0) return h;
    return nullptr;
}

}  // namespace afx_handles
