// Global memory blocks of 16-bit client programs. A client's block is a size-sealed memfd; the
// blocks whose handles a message names in wParam and lParam travel with it, and the window that
// serves the message reaches them through the WOW32 functions, for that message only. The
// layer knows each block's real size: a view of one ends where the block ends (VirtualQuery).
#pragma once

#include <array>

#include "platform/base/WinTypes.h"
#include "platform/ipc/Kernel.h"
#include "platform/ipc/WindowRequest.h"

using HGLOBAL16 = WORD;
using VPVOID = DWORD;  // a 16:16 address: selector in the high word, offset in the low word

// --- The serving side ---
// A 16:16 address of the block named by the handle, locked; 0 when the handle is 0 or was not
// passed with the message being served, or the block cannot be mapped for reading and writing.
VPVOID WOWGlobalLock16(WORD hMem);
// The flat address of a locked 16:16 address; protected mode only. nullptr when the address
// is not in a locked block or cb bytes from it pass the block's end.
LPVOID WOWGetVDMPointer(DWORD vp, DWORD dwBytes, BOOL fProtectedMode);
BOOL WOWGlobalUnlock16(WORD hMem);

namespace afx_wow {
// The blocks of one message, from the moment it is served until it returns; locks still held
// then are undone. Scopes nest; only the innermost one's blocks are reachable.
class CMessageBlocks {
public:
    explicit CMessageBlocks(const std::array<winlink::PassedBlock, 2>& blocks);
    ~CMessageBlocks();
    CMessageBlocks(const CMessageBlocks&) = delete;
    CMessageBlocks& operator=(const CMessageBlocks&) = delete;
};
}  // namespace afx_wow

// --- The client side ---
constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
// A zero-filled block of dwBytes bytes (0 is allowed and gives a block nobody can lock).
// 0 on failure.
HGLOBAL16 GlobalAlloc16(UINT uFlags, DWORD dwBytes);
LPVOID GlobalLock16(HGLOBAL16 hMem);
BOOL GlobalUnlock16(HGLOBAL16 hMem);
// 0 when freed, the handle when it was not a block.
HGLOBAL16 GlobalFree16(HGLOBAL16 hMem);
DWORD GlobalSize16(HGLOBAL16 hMem);
// Sends a message of a 16-bit client: the blocks named by wParam (when it fits in a word) and
// by the low word of lParam (when its high word is 0) go with it. FALSE, *lpdwResult 0, when
// the window did not answer in time.
BOOL SendMessage16(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* lpdwResult);
