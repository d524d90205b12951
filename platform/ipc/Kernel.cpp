#include "platform/ipc/Kernel.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <random>
#include <unordered_map>

#include "platform/ipc/RemoteWindows.h"
#include "platform/ipc/ServedConnection.h"

namespace {

struct KernelObject {
    enum class Kind { Mapping, Process } kind = Kind::Mapping;
    int fd = -1;        // Mapping: the memfd
    DWORD protect = 0;  // Mapping: PAGE_*
    pid_t pid = 0;      // Process
    // The peer connection that passed the object, which alone may use it; 0: this process's own.
    winlink::ConnectionId owner = 0;
};

struct View {
    std::size_t length = 0;
};

// Handle values are drawn at random, so that a peer cannot work out the handle another peer was
// just given from its own: multiples of four from 0x10000 up to 2^31, which fit the 32-bit
// lParam of the API's clients, stay clear of 16-bit block handles, and are never 0 or
// INVALID_HANDLE_VALUE.
constexpr std::uintptr_t kLowestHandle = 0x10000;
constexpr std::uintptr_t kHandleCount = (0x80000000u - kLowestHandle) / 4;

struct Table {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, KernelObject> objects;
    std::map<std::uintptr_t, View> views;  // by base address
    // Random words fetched ahead, one system call for many handles.
    std::array<std::uint32_t, 64> random{};
    std::size_t randomUsed = 64;
};

Table& Kernel() {
    static Table* table = new Table;  // lives past static destruction: handles may close late
    return *table;
}

void Refill(Table& t) {
    auto* bytes = reinterpret_cast<unsigned char*>(t.random.data());
    const std::size_t want = sizeof(t.random);
    std::size_t got = 0;
    while (got < want) {
        const ssize_t n = ::getrandom(bytes + got, want - got, 0);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    if (got < want) {
        // No getrandom (an old kernel, a filter): still unpredictable enough from outside.
        static std::mt19937_64 engine(
            std::random_device{}() ^
            static_cast<std::uint64_t>(
                std::chrono::steady_clock::now().time_since_epoch().count()));
        for (auto& word : t.random) word = static_cast<std::uint32_t>(engine());
    }
    t.randomUsed = 0;
}

// Under the table's lock. A value in use is drawn again; with half a billion values that is
// rare while the table holds a few objects.
std::uintptr_t NewHandleValue(Table& t) {
    for (;;) {
        if (t.randomUsed == t.random.size()) Refill(t);
        const std::uintptr_t h = kLowestHandle + (t.random[t.randomUsed++] % kHandleCount) * 4;
        if (!t.objects.count(h)) return h;
    }
}

std::uintptr_t Insert(const KernelObject& object) {
    Table& t = Kernel();
    std::lock_guard lock(t.mutex);
    const std::uintptr_t h = NewHandleValue(t);
    t.objects.emplace(h, object);
    return h;
}

// This process's own objects everywhere; a peer's only while a request of its connection is
// served on this thread.
bool Usable(const KernelObject& o) {
    return o.owner == 0 || o.owner == winlink::CurrentConnection();
}

bool Find(HANDLE h, KernelObject& out) {
    Table& t = Kernel();
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(h));
    if (it == t.objects.end() || !Usable(it->second)) return false;
    out = it->second;
    return true;
}

HANDLE CurrentProcessPseudo() {
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1));
}

bool IsCurrentProcess(HANDLE h) {
    if (h == CurrentProcessPseudo()) return true;
    KernelObject o;
    return Find(h, o) && o.kind == KernelObject::Kind::Process && o.pid == ::getpid();
}

bool SizeIsSealed(int fd) {
    const int seals = ::fcntl(fd, F_GET_SEALS);
    return seals >= 0 && (seals & F_SEAL_SHRINK) && (seals & F_SEAL_GROW);
}

}  // namespace

HANDLE CreateFileMapping(HANDLE hFile, void*, DWORD flProtect, DWORD dwMaximumSizeHigh,
                         DWORD dwMaximumSizeLow, LPCTSTR lpName) {
    if (hFile != INVALID_HANDLE_VALUE || lpName) return nullptr;
    if (flProtect != PAGE_READWRITE && flProtect != PAGE_READONLY) return nullptr;
    const std::uint64_t size =
        (static_cast<std::uint64_t>(dwMaximumSizeHigh) << 32) | dwMaximumSizeLow;
    if (size == 0 || size > static_cast<std::uint64_t>(INT64_MAX)) return nullptr;
    const int fd = ::memfd_create("velkon95-mapping", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) return nullptr;
    // The size is fixed, as a mapping object's is; the receiver relies on it.
    if (::ftruncate(fd, static_cast<off_t>(size)) != 0 ||
        ::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) != 0) {
        ::close(fd);
        return nullptr;
    }
    KernelObject o;
    o.kind = KernelObject::Kind::Mapping;
    o.fd = fd;
    o.protect = flProtect;
    return reinterpret_cast<HANDLE>(Insert(o));
}

LPVOID MapViewOfFile(HANDLE hFileMappingObject, DWORD dwDesiredAccess, DWORD dwFileOffsetHigh,
                     DWORD dwFileOffsetLow, SIZE_T dwNumberOfBytesToMap) {
    KernelObject o;
    if (!Find(hFileMappingObject, o) || o.kind != KernelObject::Kind::Mapping) return nullptr;
    const bool write = (dwDesiredAccess & FILE_MAP_WRITE) != 0;
    if (!write && !(dwDesiredAccess & FILE_MAP_READ)) return nullptr;
    if (write && o.protect == PAGE_READONLY) return nullptr;
    struct stat st {};
    if (::fstat(o.fd, &st) != 0) return nullptr;
    const std::uint64_t offset =
        (static_cast<std::uint64_t>(dwFileOffsetHigh) << 32) | dwFileOffsetLow;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    if (offset % page != 0 || offset >= size) return nullptr;
    const std::uint64_t length = dwNumberOfBytesToMap ? dwNumberOfBytesToMap : size - offset;
    if (length > size - offset) return nullptr;
    void* p = ::mmap(nullptr, length, write ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED, o.fd,
                     static_cast<off_t>(offset));
    if (p == MAP_FAILED) return nullptr;
    Table& t = Kernel();
    std::lock_guard lock(t.mutex);
    t.views[reinterpret_cast<std::uintptr_t>(p)] = View{static_cast<std::size_t>(length)};
    return p;
}

BOOL UnmapViewOfFile(LPCVOID lpBaseAddress) {
    Table& t = Kernel();
    std::lock_guard lock(t.mutex);
    auto it = t.views.find(reinterpret_cast<std::uintptr_t>(lpBaseAddress));
    if (it == t.views.end()) return FALSE;
    ::munmap(const_cast<void*>(lpBaseAddress), it->second.length);
    t.views.erase(it);
    return TRUE;
}

SIZE_T VirtualQuery(LPCVOID lpAddress, MEMORY_BASIC_INFORMATION* lpBuffer, SIZE_T dwLength) {
    if (!lpBuffer || dwLength < sizeof(MEMORY_BASIC_INFORMATION)) return 0;
    Table& t = Kernel();
    std::lock_guard lock(t.mutex);
    const auto a = reinterpret_cast<std::uintptr_t>(lpAddress);
    auto it = t.views.upper_bound(a);
    if (it == t.views.begin()) return 0;
    --it;
    if (a >= it->first + it->second.length) return 0;
    lpBuffer->AllocationBase = reinterpret_cast<LPVOID>(it->first);
    lpBuffer->BaseAddress = reinterpret_cast<LPVOID>(a);
    lpBuffer->RegionSize = it->first + it->second.length - a;
    return sizeof(MEMORY_BASIC_INFORMATION);
}

BOOL CloseHandle(HANDLE hObject) {
    if (hObject == CurrentProcessPseudo()) return TRUE;
    int fd = -1;
    {
        Table& t = Kernel();
        std::lock_guard lock(t.mutex);
        auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(hObject));
        if (it == t.objects.end() || !Usable(it->second)) return FALSE;
        fd = it->second.fd;
        t.objects.erase(it);
    }
    if (fd >= 0) ::close(fd);
    return TRUE;
}

HANDLE GetCurrentProcess() {
    return CurrentProcessPseudo();
}

DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(::getpid());
}

HANDLE OpenProcess(DWORD dwDesiredAccess, BOOL, DWORD dwProcessId) {
    if (!(dwDesiredAccess & PROCESS_DUP_HANDLE) || dwProcessId == 0) return nullptr;
    const auto pid = static_cast<pid_t>(dwProcessId);
    // kill with signal 0 only asks: the process runs and is ours (EPERM: another user's).
    if (pid != ::getpid() && ::kill(pid, 0) != 0) return nullptr;
    KernelObject o;
    o.kind = KernelObject::Kind::Process;
    o.pid = pid;
    return reinterpret_cast<HANDLE>(Insert(o));
}

BOOL DuplicateHandle(HANDLE hSourceProcessHandle, HANDLE hSourceHandle, HANDLE hTargetProcessHandle,
                     LPHANDLE lpTargetHandle, DWORD, BOOL, DWORD dwOptions) {
    if (lpTargetHandle) *lpTargetHandle = nullptr;
    if (!IsCurrentProcess(hSourceProcessHandle)) return FALSE;
    KernelObject source;
    if (!Find(hSourceHandle, source) || source.kind != KernelObject::Kind::Mapping) return FALSE;
    BOOL ok = FALSE;
    pid_t targetPid = 0;
    if (hTargetProcessHandle == CurrentProcessPseudo()) {
        targetPid = ::getpid();
    } else {
        KernelObject target;
        if (Find(hTargetProcessHandle, target) && target.kind == KernelObject::Kind::Process)
            targetPid = target.pid;
    }
    if (lpTargetHandle && targetPid == ::getpid()) {
        const int fd = ::fcntl(source.fd, F_DUPFD_CLOEXEC, 0);
        if (fd >= 0) {
            // The copy is this process's own, whoever passed the source: keeping a peer's
            // object past its request is done this way.
            KernelObject copy = source;
            copy.fd = fd;
            copy.owner = 0;
            *lpTargetHandle = reinterpret_cast<HANDLE>(Insert(copy));
            ok = TRUE;
        }
    } else if (lpTargetHandle && targetPid > 0) {
        std::uintptr_t remote = 0;
        if (afx_handles::SendFdToProcess(static_cast<DWORD>(targetPid), source.fd, remote) &&
            remote != 0) {
            *lpTargetHandle = reinterpret_cast<HANDLE>(remote);
            ok = TRUE;
        }
    }
    if (dwOptions & DUPLICATE_CLOSE_SOURCE) CloseHandle(hSourceHandle);
    return ok;
}

namespace afx_kernel {

std::uintptr_t AdoptReceivedFd(int fd, winlink::ConnectionId owner) {
    struct stat st {};
    if (fd < 0) return 0;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 || !SizeIsSealed(fd)) {
        ::close(fd);
        return 0;
    }
    const int accmode = ::fcntl(fd, F_GETFL) & O_ACCMODE;
    KernelObject o;
    o.kind = KernelObject::Kind::Mapping;
    o.fd = fd;
    o.protect = accmode == O_RDWR ? PAGE_READWRITE : PAGE_READONLY;
    o.owner = owner;
    return Insert(o);
}

void ReleasePassed(std::uintptr_t handle, winlink::ConnectionId owner) {
    if (owner == 0) return;
    int fd = -1;
    {
        Table& t = Kernel();
        std::lock_guard lock(t.mutex);
        auto it = t.objects.find(handle);
        // Closed by the program already, and perhaps the value drawn again for another object.
        if (it == t.objects.end() || it->second.owner != owner) return;
        fd = it->second.fd;
        t.objects.erase(it);
    }
    if (fd >= 0) ::close(fd);
}

winlink::PassedObjects PassedMappings() {
    return {AdoptReceivedFd, ReleasePassed};
}

std::size_t OpenObjectCount() {
    Table& t = Kernel();
    std::lock_guard lock(t.mutex);
    return t.objects.size();
}

std::size_t MappedViewCount() {
    Table& t = Kernel();
    std::lock_guard lock(t.mutex);
    return t.views.size();
}

}  // namespace afx_kernel
