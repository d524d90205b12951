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

CDocumentLock& CDocumentLock::operator=(CDocumentLock&& o) noexcept {
    if (this != &o) {
        Release();
        m_strLockPath = o.m_strLockPath;
        m_fd = std::move(o.m_fd);
        o.m_strLockPath.Empty();
    }
    return *this;
}

CString CDocumentLock::LockPathOf(const CString& path) {
    std::error_code error;
    const std::filesystem::path file = std::filesystem::weakly_canonical(path.Str(), error);
    if (error || file.empty()) return {};
    return CString(file.string() + ".lock");
}

bool CDocumentLock::Holds(const CString& path) const {
    return m_fd.Valid() && m_strLockPath == LockPathOf(path);
}

BOOL CDocumentLock::Take(const CString& path, pid_t* pOwner) {
    if (pOwner) *pOwner = 0;
    Release();
    const std::string lockPath = LockPathOf(path).Str();
    if (lockPath.empty()) return TRUE;
    // The owner that lets go removes the file while it still holds the lock: whoever opened
    // the file before that finds it gone once it has the lock, and tries the new one.
    for (int attempt = 0; attempt < 5; ++attempt) {
        UniqueFd fd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644));
        if (!fd.Valid()) return TRUE;
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK) return TRUE;  // a file system without locks
            char text[32] = {};
            if (pOwner && ::pread(fd.Get(), text, sizeof(text) - 1, 0) > 0)
                *pOwner = static_cast<pid_t>(std::atol(text));
            return FALSE;
        }
        struct stat held {
        }, named{};
        if (::fstat(fd.Get(), &held) != 0 || ::stat(lockPath.c_str(), &named) != 0 ||
            held.st_ino != named.st_ino || held.st_dev != named.st_dev)
            continue;
        char text[32];
        const int n = std::snprintf(text, sizeof(text), "%ld\n", static_cast<long>(::getpid()));
        ssize_t written = -1;
        if (::ftruncate(fd.Get(), 0) == 0)
            written = ::pwrite(fd.Get(), text, static_cast<std::size_t>(n), 0);
        (void)written;  // the pid is for the user only; the flock is the lock
        m_fd = std::move(fd);
        m_strLockPath = CString(lockPath);
        return TRUE;
    }
    return TRUE;
}

void CDocumentLock::Release() {
    if (!m_fd.Valid()) return;
    ::unlink(m_strLockPath.Str().c_str());
    m_fd.Reset();
    m_strLockPath.Empty();
}
