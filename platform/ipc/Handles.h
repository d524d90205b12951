// Window handles. A handle value holds the id of the process whose window it names, so that a
// handle passed to another process names the same window there. The windows of this process are
// registered here by the level that makes them; the IPC level reaches them only through this.
#pragma once

#include <cstdint>

#include "platform/base/WinTypes.h"

namespace afx_handles {

// What this level needs of a window of this process.
class LocalWindow {
public:
    virtual ~LocalWindow() = default;
    // Runs the message through the window's procedure, on the calling (UI) thread.
    virtual LRESULT Deliver(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Whether another process may send the message to the window.
    virtual bool AcceptsFromPeer(UINT message) const = 0;
    // The class the window was created with (CP932), and whether it has no parent: FindWindow
    // finds top-level windows only.
    virtual const char* ClassName() const = 0;
    virtual bool IsTopLevel() const = 0;
};

// A new handle value, never reused.
HWND NewHandle();
// The process whose window the handle value names (held in its high half).
DWORD HandleProcessId(HWND h);

void AttachLocal(HWND h, LocalWindow* window);
void DetachLocal(HWND h);
LocalWindow* FindLocal(HWND h);
// A top-level window of this process created with the class, or nullptr.
HWND FindLocalByClass(const char* className);

}  // namespace afx_handles
