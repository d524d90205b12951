// Kernel objects of the program's own process: file mappings (memfd objects) and process handles,
// and handles duplicated into another process. A handle value is valid only in the process that
// holds it; DuplicateHandle into another process passes the object's file descriptor over the
// window socket (SCM_RIGHTS), and the receiver's own table gives it the handle value it sees.
#pragma once

#include <cstddef>

#include "platform/base/Afx.h"
#include "platform/base/WinTypes.h"
#include "platform/ipc/ServedConnection.h"
#include "platform/ipc/WindowRequest.h"

using LPHANDLE = HANDLE*;
using LPDWORD = DWORD*;

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1));

constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD PAGE_READWRITE = 0x04;
constexpr DWORD FILE_MAP_WRITE = 0x0002;
constexpr DWORD FILE_MAP_READ = 0x0004;
constexpr DWORD FILE_MAP_ALL_ACCESS = 0x000F001F;
constexpr DWORD PROCESS_DUP_HANDLE = 0x0040;
constexpr DWORD DUPLICATE_CLOSE_SOURCE = 0x00000001;
constexpr DWORD DUPLICATE_SAME_ACCESS = 0x00000002;

struct MEMORY_BASIC_INFORMATION {
    LPVOID BaseAddress = nullptr;
    LPVOID AllocationBase = nullptr;
    SIZE_T RegionSize = 0;
};

// Only unnamed mappings backed by the paging file (hFile INVALID_HANDLE_VALUE, lpName nullptr) of
// at least one byte; their size is fixed for life. nullptr on failure.
HANDLE CreateFileMapping(HANDLE hFile, void* lpAttributes, DWORD flProtect, DWORD dwMaximumSizeHigh,
                         DWORD dwMaximumSizeLow, LPCTSTR lpName);
// dwNumberOfBytesToMap 0: from the offset to the end of the object. nullptr on failure.
LPVOID MapViewOfFile(HANDLE hFileMappingObject, DWORD dwDesiredAccess, DWORD dwFileOffsetHigh,
                     DWORD dwFileOffsetLow, SIZE_T dwNumberOfBytesToMap);
BOOL UnmapViewOfFile(LPCVOID lpBaseAddress);
// Knows the views made with MapViewOfFile: the view holding the address, its base and size.
SIZE_T VirtualQuery(LPCVOID lpAddress, MEMORY_BASIC_INFORMATION* lpBuffer, SIZE_T dwLength);
BOOL CloseHandle(HANDLE hObject);

HANDLE GetCurrentProcess();
DWORD GetCurrentProcessId();
// A process of the same user that is running; nullptr otherwise.
HANDLE OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwProcessId);
// From this process (source process GetCurrentProcess or an open handle of it) into this process
// or into another one to whose windows this process is connected (a window found with FindWindow
// or sent to). FALSE, *lpTargetHandle nullptr, when the target cannot be reached in time.
BOOL DuplicateHandle(HANDLE hSourceProcessHandle, HANDLE hSourceHandle, HANDLE hTargetProcessHandle,
                     LPHANDLE lpTargetHandle, DWORD dwDesiredAccess, BOOL bInheritHandle,
                     DWORD dwOptions);

namespace afx_kernel {
// A file descriptor that arrived from another process becomes a mapping handle of this process,
// which belongs to the connection `owner` it came over: MapViewOfFile, CloseHandle and
// DuplicateHandle find it only while that connection's request is served (CurrentConnection),
// and fail as for a handle that does not exist otherwise. Owner 0: the process's own. Only
// memfd objects whose size is sealed are taken (a peer could otherwise shrink the object under
// a view); anything else is closed and 0 comes back. Takes the descriptor in every case.
std::uintptr_t AdoptReceivedFd(int fd, winlink::ConnectionId owner);
// Closes the object if it is still there and still the connection's.
void ReleasePassed(std::uintptr_t handle, winlink::ConnectionId owner);
// What window servers do with descriptors peers pass: AdoptReceivedFd and ReleasePassed.
winlink::PassedObjects PassedMappings();
// Open kernel objects and mapped views of this process, for leak checks.
std::size_t OpenObjectCount();
std::size_t MappedViewCount();
}  // namespace afx_kernel
