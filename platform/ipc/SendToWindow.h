// Sending a message to a window by its handle, whichever process it lives in. A window of this
// process runs the message at once; one of another process answers over its socket while the
// sender waits.
#pragma once

#include "platform/base/WinTypes.h"
#include "platform/ipc/WindowRequest.h"

LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
BOOL IsWindow(HWND hWnd);
constexpr UINT SMTO_NORMAL = 0x0000;
constexpr UINT SMTO_BLOCK = 0x0001;
constexpr UINT SMTO_ABORTIFHUNG = 0x0002;
// Sends and waits at most uTimeout milliseconds for a window of another process; 0 when it did
// not answer (a window of this process always answers).
LRESULT SendMessageTimeout(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT fuFlags,
                           UINT uTimeout, LRESULT* lpdwResult);

namespace afx_handles {
// Runs a request that came for window h of this process; the blocks that came with it are
// reachable while the window's procedure runs. 0 when h is no window of this process.
LRESULT ServeRequest(HWND h, const winlink::Request& request);
// The same for a request from another process: a message the window does not take from peers
// is answered 0 and not delivered.
LRESULT ServePeerRequest(HWND h, const winlink::Request& request);
}  // namespace afx_handles
