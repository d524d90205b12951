// Window handles of this process and of windows found in other processes.
#pragma once

#include "platform/WinTypes.h"

class CWnd;

namespace afx_handles {

HWND NewHandle();
void AttachLocal(HWND h, CWnd* pWnd);
void DetachLocal(HWND h);
CWnd* FindLocal(HWND h);
// A window of this process created with the class, or nullptr.
HWND FindLocalByClass(const char* className);

// Sends to a window of another process; false when h is not such a window or the peer did not
// answer in time (the result is then 0).
bool SendRemote(HWND h, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
bool IsRemote(HWND h);

}  // namespace afx_handles
