// Windows of other processes: found by class (FindWindow) or known by a handle another process
// passed. Each has one connection to its socket, made the first time it is used.
#pragma once

#include <cstdint>

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"
#include "platform/ipc/WindowRequest.h"

namespace afx_handles {

// A handle for the window of the class in another process, the same one for as long as that
// window lives; nullptr when nobody serves the class.
HWND FindRemoteByClass(const CString& className);

// Sends to a window of another process; false when h is not such a window or the peer did not
// answer in time (the result is then 0).
bool SendRemote(HWND h, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
// The same with the request as it stands, blocks and all.
bool SendRemoteRequest(HWND h, const winlink::Request& request, LRESULT& result);
bool IsRemote(HWND h);
// The process of a window of another process (found or sent to); 0 if unknown. The window
// becomes the one its process is reached through by SendFdToProcess.
DWORD RemoteProcessId(HWND h);
// Passes a descriptor to process `pid` over the connection to the window last asked about
// (RemoteProcessId), else to any of its windows; `handle` is the value the process gave it,
// usable there by requests on that connection only. False when no live connection reaches the
// process in time.
bool SendFdToProcess(DWORD pid, int fd, std::uintptr_t& handle);
// How long a message sent to another process waits for its answer (default 5000 ms).
void SetRemoteTimeout(int milliseconds);
int RemoteTimeout();

}  // namespace afx_handles
