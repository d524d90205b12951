#include "platform/gui/document/DocumentLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/base/SafeCreate.h"

namespace {

constexpr std::string_view kLockTail = ".lock";

// Where no lock file can be made, nobody can hold one.
bool NoLockFileCanBeHere(int err) {
    return err == EACCES || err == EPERM || err == EROFS || err == ENOENT || err == ENOTDIR;
}

// The lock file's descriptor: read-write where the user may write it, else read-only (flock
// needs no more; a lock file another user left behind is often the user's to read only).
// Invalid with `err` set when it cannot be opened; err 0 then means that there is no lock file
// and none can be made here.
UniqueFd OpenLockFile(const std::string& lockPath, const std::string& dataPath, int& err) {
    err = 0;
    // Never through a link; and a FIFO planted at the name must not keep the open waiting.
    constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    UniqueFd fd(::open(lockPath.c_str(), O_RDWR | kFlags));
    if (!fd.Valid() && errno == ENOENT) {
        fd.Reset(afx_file::CreateNew(lockPath, afx_file::AccessOf(dataPath)));
        if (!fd.Valid()) {
            if (errno != EEXIST) {
                err = NoLockFileCanBeHere(errno) ? 0 : errno;
                return fd;
            }
            fd.Reset(::open(lockPath.c_str(), O_RDWR | kFlags));  // made by another meanwhile
        }
    }
    if (!fd.Valid() && (errno == EACCES || errno == EPERM || errno == EROFS))
        fd.Reset(::open(lockPath.c_str(), O_RDONLY | kFlags));
    if (!fd.Valid()) {
        err = errno;
        return fd;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0)
        err = errno;
    else if (!S_ISREG(st.st_mode))
        err = ENODEV;
    if (err != 0) fd.Reset();
    return fd;
}

bool SameFile(int fd, const std::string& path) {
    struct stat held {
    }, named{};
    return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           held.st_ino == named.st_ino && held.st_dev == named.st_dev;
}

}  // namespace

CDocumentLock& CDocumentLock::operator=(CDocumentLock&& o) noexcept {
    if (this != &o) {
        Release();
        m_strLockPath = o.m_strLockPath;
        m_fd = std::move(o.m_fd);
        m_nLastError = o.m_nLastError;
        o.m_strLockPath.Empty();
    }
    return *this;
}

CString CDocumentLock::LockPathOf(const CString& path) {
    std::error_code error;
    const std::filesystem::path file = std::filesystem::weakly_canonical(path.Str(), error);
    if (error || file.empty()) return {};
    return CString(file.string() + std::string(kLockTail));
}

bool CDocumentLock::Holds(const CString& path) const {
    return m_fd.Valid() && m_strLockPath == LockPathOf(path);
}

BOOL CDocumentLock::Take(const CString& path, pid_t* pOwner) {
    if (pOwner) *pOwner = 0;
    Release();
    m_nLastError = 0;
    const std::string lockPath = LockPathOf(path).Str();
    if (lockPath.empty()) return TRUE;
    const std::string dataPath = lockPath.substr(0, lockPath.size() - kLockTail.size());
    // The owner that lets go removes the file while it still holds the lock: whoever opened
    // the file before that finds it gone once it has the lock, and tries the new one.
    for (int attempt = 0; attempt < 5; ++attempt) {
        int err = 0;
        UniqueFd fd = OpenLockFile(lockPath, dataPath, err);
        if (!fd.Valid()) {
            if (err == 0) return TRUE;
            if (err == ENOENT) continue;  // removed between the create and the open
            m_nLastError = err;
            return FALSE;
        }
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
            // A file system without locks keeps nobody out: the file is refused, not shared.
            m_nLastError = errno == EWOULDBLOCK ? EBUSY : errno;
            char text[32] = {};
            if (m_nLastError == EBUSY && pOwner && ::pread(fd.Get(), text, sizeof(text) - 1, 0) > 0)
                *pOwner = static_cast<pid_t>(std::atol(text));
            return FALSE;
        }
        if (!SameFile(fd.Get(), lockPath)) continue;
        if ((::fcntl(fd.Get(), F_GETFL) & O_ACCMODE) == O_RDWR) {
            char text[32];
            const int n = std::snprintf(text, sizeof(text), "%ld\n", static_cast<long>(::getpid()));
            ssize_t written = -1;
            if (::ftruncate(fd.Get(), 0) == 0)
                written = ::pwrite(fd.Get(), text, static_cast<std::size_t>(n), 0);
            (void)written;  // the pid is for the user only; the flock is the lock
        }
        m_fd = std::move(fd);
        m_strLockPath = CString(lockPath);
        return TRUE;
    }
    // The lock file kept changing under this program: someone else is at it.
    m_nLastError = EBUSY;
    return FALSE;
}

void CDocumentLock::Release() {
    if (!m_fd.Valid()) return;
    // Only the file this lock holds: another may have taken the name meanwhile.
    if (SameFile(m_fd.Get(), m_strLockPath.Str())) ::unlink(m_strLockPath.Str().c_str());
    m_fd.Reset();
    m_strLockPath.Empty();
}
