#include "platform/ipc/MappingTransfer.h"

#include <algorithm>
#include <cstring>

// The mapping is made and filled before its handle leaves: a handle given to another process
// cannot be taken back, so nothing may fail after that.
HANDLE AfxShareMappingWith(HWND hWnd, const void* pData, std::size_t nDataSize, std::size_t nSize) {
    const HANDLE hMapping = ::CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                static_cast<DWORD>(nSize), nullptr);
    if (!hMapping) return nullptr;
    HANDLE hDuplicated = nullptr;
    if (LPVOID pView = ::MapViewOfFile(hMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
        if (pData) std::memcpy(pView, pData, std::min(nDataSize, nSize));
        ::UnmapViewOfFile(pView);
        DWORD dwProcessId = 0;
        ::GetWindowThreadProcessId(hWnd, &dwProcessId);
        if (const HANDLE hProcess = ::OpenProcess(PROCESS_DUP_HANDLE, FALSE, dwProcessId)) {
            if (!::DuplicateHandle(::GetCurrentProcess(), hMapping, hProcess, &hDuplicated, 0,
                                   FALSE, DUPLICATE_SAME_ACCESS))
                hDuplicated = nullptr;
            ::CloseHandle(hProcess);
        }
    }
    ::CloseHandle(hMapping);
    return hDuplicated;
}
