#include "platform/ipc/SendToWindow.h"

#include <algorithm>

#include "platform/ipc/Handles.h"
#include "platform/ipc/RemoteWindows.h"
#include "platform/ipc/Wow32.h"

LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto* local = afx_handles::FindLocal(hWnd)) return local->Deliver(message, wParam, lParam);
    LRESULT result = 0;
    afx_handles::SendRemote(hWnd, message, wParam, lParam, result);
    return result;
}

LRESULT SendMessageTimeout(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT,
                           UINT uTimeout, LRESULT* lpdwResult) {
    if (lpdwResult) *lpdwResult = 0;
    LRESULT result = 0;
    bool answered = true;
    if (auto* local = afx_handles::FindLocal(hWnd)) {
        result = local->Deliver(message, wParam, lParam);
    } else {
        const int saved = afx_handles::RemoteTimeout();
        afx_handles::SetRemoteTimeout(static_cast<int>(std::min<UINT>(uTimeout, 0x7FFFFFFF)));
        answered = afx_handles::SendRemote(hWnd, message, wParam, lParam, result);
        afx_handles::SetRemoteTimeout(saved);
    }
    if (lpdwResult) *lpdwResult = result;
    return answered ? 1 : 0;
}

BOOL IsWindow(HWND hWnd) {
    return afx_handles::FindLocal(hWnd) != nullptr || afx_handles::IsRemote(hWnd);
}

namespace afx_handles {
LRESULT ServeRequest(HWND h, const winlink::Request& request) {
    LocalWindow* local = FindLocal(h);
    if (!local) return 0;
    afx_wow::CMessageBlocks blocks(request.blocks);
    return local->Deliver(request.msg, request.wParam, request.lParam);
}

LRESULT ServePeerRequest(HWND h, const winlink::Request& request) {
    LocalWindow* local = FindLocal(h);
    if (!local || !local->AcceptsFromPeer(request.msg)) return 0;
    return ServeRequest(h, request);
}
}  // namespace afx_handles
