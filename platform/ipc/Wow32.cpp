#include "platform/ipc/Wow32.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <map>
#include <vector>

#include "platform/ipc/Handles.h"
#include "platform/ipc/Kernel.h"
#include "platform/ipc/RemoteWindows.h"
#include "platform/ipc/SendToWindow.h"

namespace {

// --- serving side ---

struct ServedBlock {
    WORD handle = 0;
    HANDLE mapping = nullptr;
    LPVOID view = nullptr;
    WORD selector = 0;
    int locks = 0;
};

using Scope = std::array<ServedBlock, 2>;

thread_local std::vector<Scope> t_scopes;

ServedBlock* FindServed(WORD handle) {
    if (!handle || t_scopes.empty()) return nullptr;
    for (ServedBlock& b : t_scopes.back())
        if (b.handle == handle && b.mapping) return &b;
    return nullptr;
}

ServedBlock* FindSelector(WORD selector) {
    if (!selector || t_scopes.empty()) return nullptr;
    for (ServedBlock& b : t_scopes.back())
        if (b.selector == selector && b.view) return &b;
    return nullptr;
}

void Release(ServedBlock& b) {
    if (b.view) ::UnmapViewOfFile(b.view);
    if (b.mapping) ::CloseHandle(b.mapping);
    b = ServedBlock{};
}

// --- client side ---

struct ClientBlock {
    int fd = -1;
    void* data = nullptr;
    std::size_t size = 0;
    int locks = 0;
};

std::map<WORD, ClientBlock>& ClientBlocks() {
    static std::map<WORD, ClientBlock> blocks;
    return blocks;
}

WORD NextClientHandle() {
    static WORD next = 0x0106;
    for (int tries = 0; tries < 0x10000; ++tries) {
        next = static_cast<WORD>(next + 8);
        if (next != 0 && !ClientBlocks().count(next)) return next;
    }
    return 0;
}

}  // namespace

namespace afx_wow {

CMessageBlocks::CMessageBlocks(const std::array<winlink::PassedBlock, 2>& blocks) {
    Scope scope;
    const std::size_t depth = t_scopes.size();
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (!blocks[i].handle || blocks[i].fd < 0) continue;
        const int fd = ::fcntl(blocks[i].fd, F_DUPFD_CLOEXEC, 0);
        if (fd < 0) continue;
        // Only size-sealed memory objects: the client cannot shrink one under our view.
        // The blocks are the requesting connection's, as a mapping it passed would be.
        const auto mapping =
            reinterpret_cast<HANDLE>(afx_kernel::AdoptReceivedFd(fd, winlink::CurrentConnection()));
        if (!mapping) continue;
        scope[i].handle = blocks[i].handle;
        scope[i].mapping = mapping;
        scope[i].selector = static_cast<WORD>(((depth * 2 + i + 1) << 3) | 7);
    }
    t_scopes.push_back(scope);
}

CMessageBlocks::~CMessageBlocks() {
    for (ServedBlock& b : t_scopes.back()) Release(b);
    t_scopes.pop_back();
}

}  // namespace afx_wow

VPVOID WOWGlobalLock16(WORD hMem) {
    ServedBlock* b = FindServed(hMem);
    if (!b) return 0;
    if (!b->view) {
        b->view = ::MapViewOfFile(b->mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
        if (!b->view) return 0;
    }
    ++b->locks;
    return static_cast<VPVOID>(b->selector) << 16;
}

LPVOID WOWGetVDMPointer(DWORD vp, DWORD dwBytes, BOOL fProtectedMode) {
    if (!fProtectedMode) return nullptr;
    ServedBlock* b = FindSelector(HIWORD(vp));
    if (!b) return nullptr;
    MEMORY_BASIC_INFORMATION info;
    if (!::VirtualQuery(b->view, &info, sizeof(info))) return nullptr;
    const DWORD offset = LOWORD(vp);
    if (offset >= info.RegionSize || dwBytes > info.RegionSize - offset) return nullptr;
    return static_cast<char*>(b->view) + offset;
}

BOOL WOWGlobalUnlock16(WORD hMem) {
    ServedBlock* b = FindServed(hMem);
    if (!b || b->locks == 0) return FALSE;
    if (--b->locks == 0) {
        ::UnmapViewOfFile(b->view);
        b->view = nullptr;
    }
    return TRUE;
}

HGLOBAL16 GlobalAlloc16(UINT, DWORD dwBytes) {
    const WORD handle = NextClientHandle();
    if (!handle) return 0;
    const int fd = ::memfd_create("velkon95-block16", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) return 0;
    ClientBlock block;
    block.fd = fd;
    block.size = dwBytes;
    if (::ftruncate(fd, static_cast<off_t>(dwBytes)) != 0 ||
        ::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) != 0) {
        ::close(fd);
        return 0;
    }
    if (dwBytes) {
        block.data = ::mmap(nullptr, dwBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (block.data == MAP_FAILED) {
            ::close(fd);
            return 0;
        }
    }
    ClientBlocks()[handle] = block;
    return handle;
}

LPVOID GlobalLock16(HGLOBAL16 hMem) {
    auto it = ClientBlocks().find(hMem);
    if (it == ClientBlocks().end() || !it->second.data) return nullptr;
    ++it->second.locks;
    return it->second.data;
}

BOOL GlobalUnlock16(HGLOBAL16 hMem) {
    auto it = ClientBlocks().find(hMem);
    if (it == ClientBlocks().end() || it->second.locks == 0) return FALSE;
    return --it->second.locks > 0;
}

HGLOBAL16 GlobalFree16(HGLOBAL16 hMem) {
    auto it = ClientBlocks().find(hMem);
    if (it == ClientBlocks().end()) return hMem;
    if (it->second.data) ::munmap(it->second.data, it->second.size);
    ::close(it->second.fd);
    ClientBlocks().erase(it);
    return 0;
}

DWORD GlobalSize16(HGLOBAL16 hMem) {
    auto it = ClientBlocks().find(hMem);
    return it == ClientBlocks().end() ? 0 : static_cast<DWORD>(it->second.size);
}

BOOL SendMessage16(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* lpdwResult) {
    if (lpdwResult) *lpdwResult = 0;
    winlink::Request request{msg, wParam, lParam, {}};
    const auto pass = [&](std::size_t slot, std::uint64_t value) {
        if (value > 0xFFFF) return;
        auto it = ClientBlocks().find(static_cast<WORD>(value));
        if (it != ClientBlocks().end()) request.blocks[slot] = {it->first, it->second.fd};
    };
    pass(0, wParam);
    pass(1, static_cast<std::uint64_t>(lParam));
    LRESULT result = 0;
    BOOL answered = FALSE;
    if (afx_handles::FindLocal(hWnd)) {
        result = afx_handles::ServeRequest(hWnd, request);
        answered = TRUE;
    } else {
        answered = afx_handles::SendRemoteRequest(hWnd, request, result);
    }
    if (lpdwResult) *lpdwResult = result;
    return answered;
}
