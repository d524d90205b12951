// Handing bytes to a window of another process the way the peers of this program do: a new
// mapping holding them, whose handle is duplicated into the window's process for a message to
// carry.
#pragma once

#include <cstddef>

#include "platform/ipc/Kernel.h"
#include "platform/ipc/WinClass.h"

// A mapping of `nSize` bytes (the first ones copied from pData, at most nSize of them:
// `nDataSize`), duplicated into the process of hWnd; the handle is valid there and belongs to
// the receiver. nullptr when any step fails; nothing is then left open in this process, and the
// receiving process gets nothing.
HANDLE AfxShareMappingWith(HWND hWnd, const void* pData, std::size_t nDataSize, std::size_t nSize);
