#include "platform/Handles.h"

#include <atomic>
#include <cstdint>
#include <unordered_map>

#include "platform/CWnd.h"

namespace afx_handles {
namespace {
std::unordered_map<HWND, CWnd*>& Locals() {
    static std::unordered_map<HWND, CWnd*> table;
    return table;
}
}  // namespace

HWND NewHandle() {
    // Never reused, so a stale handle can never reach a newer window.
    static std::atomic<std::uintptr_t> next{0x10000};
    return reinterpret_cast<HWND>(next.fetch_add(4));
}

void AttachLocal(HWND h, CWnd* pWnd) {
    Locals()[h] = pWnd;
}
void DetachLocal(HWND h) {
    Locals().erase(h);
}

CWnd* FindLocal(HWND h) {
    auto it = Locals().find(h);
    return it == Locals().end() ? nullptr : it->second;
}

}  // namespace afx_handles

namespace afx_handles {
HWND FindLocalByClass(const char* className) {
    for (const auto& [h, wnd] : Locals())
        if (wnd->GetClassName() == className && !wnd->GetParent()) return h;
    return nullptr;
}
}  // namespace afx_handles
