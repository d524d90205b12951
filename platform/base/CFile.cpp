#include "platform/base/CFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <string>

#include "platform/base/CodePage.h"

namespace {

std::string NativePath(const CString& path) {
    return Cp932ToUtf8(path.View());
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

CFile::~CFile() {
    CFile::Close();
}

BOOL CFile::Open(const CString& path, UINT nOpenFlags) {
    Close();
    int flags = O_CLOEXEC;
    if (nOpenFlags & modeReadWrite)
        flags |= O_RDWR;
    else if (nOpenFlags & modeWrite)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    if (nOpenFlags & modeCreate) flags |= O_CREAT | O_TRUNC;
    const std::string native = NativePath(path);
    m_fd = ::open(native.c_str(), flags, 0666);
    if (m_fd < 0) {
        m_nLastError = errno;
        return FALSE;
    }
    struct stat st {};
    if (::fstat(m_fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        m_nLastError = EISDIR;
        return FALSE;
    }
    m_strPath = path;
    m_nLastError = 0;
    return TRUE;
}

void CFile::Close() {
    if (m_fd >= 0) {
        if (::close(m_fd) != 0 && m_nLastError == 0) m_nLastError = errno;
        m_fd = -1;
    }
}

UINT CFile::Read(void* buffer, UINT nCount) {
    if (m_fd < 0) return 0;
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, nCount);
        if (n >= 0) return static_cast<UINT>(n);
        if (errno == EINTR) continue;
        m_nLastError = errno;
        return 0;
    }
}

BOOL CFile::Write(const void* buffer, UINT nCount) {
    if (m_fd < 0) {
        m_nLastError = EBADF;
        return FALSE;
    }
    const char* p = static_cast<const char*>(buffer);
    while (nCount > 0) {
        const ssize_t n = ::write(m_fd, p, nCount);
        if (n < 0) {
            if (errno == EINTR) continue;
            m_nLastError = errno;
            return FALSE;
        }
        p += n;
        nCount -= static_cast<UINT>(n);
    }
    return TRUE;
}

BOOL CFile::GetStatus(const CString& path, CFileStatus& rStatus) {
    struct stat st {};
    if (::stat(NativePath(path).c_str(), &st) != 0) return FALSE;
    rStatus.m_mtime = CTime(static_cast<std::int64_t>(st.st_mtime));
    rStatus.m_size = static_cast<std::int64_t>(st.st_size);
    rStatus.m_bDirectory = S_ISDIR(st.st_mode) ? TRUE : FALSE;
    return TRUE;
}

BOOL CFile::Remove(const CString& path) {
    return ::unlink(NativePath(path).c_str()) == 0;
}

BOOL CFile::Rename(const CString& oldPath, const CString& newPath) {
    return ::rename(NativePath(oldPath).c_str(), NativePath(newPath).c_str()) == 0;
}

CReplaceFile::~CReplaceFile() {
    Discard();
}

BOOL CReplaceFile::Open(const CString& path, UINT /*nOpenFlags*/) {
    Discard();
    const std::string target = NativePath(path);
    std::random_device seed;
    std::mt19937 rng(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x", static_cast<unsigned>(rng()));
        const std::string temp = target + suffix + ".tmp";
        m_fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_strTempPath = CString(Utf8ToCp932(temp));
            m_strPath = path;
            m_nLastError = 0;
            // Keep the permissions a file already there has.
            struct stat st {};
            if (::stat(target.c_str(), &st) == 0) ::fchmod(m_fd, st.st_mode & 07777);
            return TRUE;
        }
        if (errno != EEXIST) break;
    }
    m_nLastError = errno;
    return FALSE;
}

BOOL CReplaceFile::Commit(const std::function<void()>& beforeRename) {
    if (m_fd < 0) {
        if (m_nLastError == 0) m_nLastError = EBADF;
        return FALSE;
    }
    if (m_nLastError == 0 && ::fsync(m_fd) != 0) m_nLastError = errno;
    if (::close(m_fd) != 0 && m_nLastError == 0) m_nLastError = errno;
    m_fd = -1;
    if (m_nLastError != 0) {
        Discard();
        return FALSE;
    }
    if (beforeRename) beforeRename();
    const std::string temp = NativePath(m_strTempPath);
    const std::string target = NativePath(m_strPath);
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        m_nLastError = errno;
        Discard();
        return FALSE;
    }
    m_strTempPath.Empty();
    // Make the rename itself durable.
    const int dir = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return TRUE;
}

void CReplaceFile::Close() {
    Discard();
}

void CReplaceFile::Discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_strTempPath.IsEmpty()) {
        ::unlink(NativePath(m_strTempPath).c_str());
        m_strTempPath.Empty();
    }
}
