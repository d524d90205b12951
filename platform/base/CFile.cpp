#include "platform/base/CFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/base/DisplayText.h"
#include "platform/base/SafeCreate.h"

namespace {

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// What a failed open of a file that is there but cannot take the program's data reports.
int WrongKind(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return ENODEV;
    return 0;
}

// "<target>.<8 hex digits>.tmp": the names the temporary files of a save take.
constexpr std::size_t kTempTailLength = 13;

bool IsTempNameOf(std::string_view name, std::string_view base) {
    if (name.size() != base.size() + kTempTailLength || name.substr(0, base.size()) != base)
        return false;
    const std::string_view tail = name.substr(base.size());
    if (tail[0] != '.' || tail.substr(9) != ".tmp") return false;
    for (char c : tail.substr(1, 8))
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

bool CopyBytes(int from, int to) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(to, buffer.data() + done, static_cast<std::size_t>(n - done));
            if (w < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            done += w;
        }
    }
}

void SyncDirectoryOf(const std::string& path) {
    const int dir = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace

CFile::~CFile() {
    CFile::Close();
}

BOOL CFile::Open(const CString& path, UINT nOpenFlags) {
    Close();
    const bool regularOnly = (nOpenFlags & typeRegularOnly) != 0;
    int flags = O_CLOEXEC;
    if (nOpenFlags & modeReadWrite)
        flags |= O_RDWR;
    else if (nOpenFlags & modeWrite)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    if (nOpenFlags & modeCreate) flags |= O_CREAT | O_TRUNC;
    const bool ownOnly = (nOpenFlags & typeOwnFileOnly) != 0;
    if (ownOnly) flags |= O_NOFOLLOW;
    // Opening a device can do things (rewind a tape), and opening a FIFO waits for a writer:
    // look first, and never wait.
    struct stat st {};
    if (regularOnly) {
        if (::stat(path.GetString(), &st) == 0 && WrongKind(st) != 0) {
            m_nLastError = WrongKind(st);
            return FALSE;
        }
        flags |= O_NONBLOCK | O_NOCTTY;
    }
    m_fd = ::open(path.GetString(), flags, 0666);
    if (m_fd < 0) {
        m_nLastError = errno == ENXIO ? ENODEV : errno;
        return FALSE;
    }
    // The file may have changed between the look and the open.
    int wrong = 0;
    if (::fstat(m_fd, &st) != 0)
        wrong = errno;
    else if (regularOnly)
        wrong = WrongKind(st);
    else if (S_ISDIR(st.st_mode))
        wrong = EISDIR;
    if (wrong == 0 && ownOnly && st.st_uid != ::geteuid()) wrong = EPERM;
    if (wrong != 0) {
        ::close(m_fd);
        m_fd = -1;
        m_nLastError = wrong;
        return FALSE;
    }
    if (regularOnly) ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
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

std::int64_t CFile::GetLength() const {
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<std::int64_t>(st.st_size);
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
    if (::stat(path.GetString(), &st) != 0) return FALSE;
    rStatus.m_mtime = CTime(static_cast<std::int64_t>(st.st_mtime));
    rStatus.m_size = static_cast<std::int64_t>(st.st_size);
    rStatus.m_bDirectory = S_ISDIR(st.st_mode) ? TRUE : FALSE;
    rStatus.m_bRegular = S_ISREG(st.st_mode) ? TRUE : FALSE;
    return TRUE;
}

BOOL CFile::Remove(const CString& path) {
    return ::unlink(path.GetString()) == 0;
}

BOOL CFile::Rename(const CString& oldPath, const CString& newPath) {
    return ::rename(oldPath.GetString(), newPath.GetString()) == 0;
}

CString CFile::ResolveLinks(const CString& path) {
    std::string current = path.Str();
    // As many links as the system itself follows before it gives up (ELOOP).
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) break;
        target.resize(static_cast<std::size_t>(n));
        current = target[0] == '/' ? target : DirectoryOf(current) + "/" + target;
    }
    return CString(std::move(current));
}

BOOL CFile::PreserveAs(const CString& path, const CString& copyPath) {
    const std::string source = ResolveLinks(path).Str();
    struct stat st {};
    if (::stat(source.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return FALSE;
    // Already kept (a save killed after its backup step left the two names on one file): a
    // rename between two names of one file would do nothing and leave the temporary name.
    // A link at the copy's name is no copy, whatever it names: it is replaced like any file.
    struct stat kept {};
    if (::lstat(copyPath.GetString(), &kept) == 0 && kept.st_dev == st.st_dev &&
        kept.st_ino == st.st_ino)
        return TRUE;
    const afx_file::AccessLimit limit = afx_file::AccessOf(source);
    std::string temp;
    int fd = afx_file::CreateTempBeside(copyPath.Str(), limit, temp);
    if (fd < 0) return FALSE;
    // The exclusive create only reserved the name; the link takes it over.
    ::close(fd);
    ::unlink(temp.c_str());
    bool ok = ::link(source.c_str(), temp.c_str()) == 0;
    if (!ok) {
        // File systems without hard links, and a backup on another file system, get a copy.
        fd = afx_file::CreateNew(temp, afx_file::OwnerOnly());
        const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
        ok = fd >= 0 && in >= 0 && CopyBytes(in, fd) && ::fsync(fd) == 0;
        if (fd >= 0) afx_file::ApplyAccess(fd, limit, true);
        if (in >= 0) ::close(in);
        if (fd >= 0 && ::close(fd) != 0) ok = false;
    }
    if (ok) ok = ::rename(temp.c_str(), copyPath.GetString()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return FALSE;
    }
    SyncDirectoryOf(copyPath.Str());
    return TRUE;
}

void CFile::RemoveLeftoverTemps(const CString& path) {
    const std::string target = path.Str();
    const std::string_view base = AfxFileNameOf(target);
    const std::string dirPath = DirectoryOf(target);
    DIR* dir = ::opendir(dirPath.c_str());
    if (!dir) return;
    std::vector<std::string> leftovers;
    while (const dirent* entry = ::readdir(dir)) {
        if (IsTempNameOf(entry->d_name, base)) leftovers.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    for (const std::string& name : leftovers) {
        const std::string full = dirPath + "/" + name;
        struct stat st {};
        if (::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(full.c_str());
    }
}

CReplaceFile::~CReplaceFile() {
    Discard();
}

BOOL CReplaceFile::Open(const CString& path, UINT /*nOpenFlags*/) {
    Discard();
    const CString target = ResolveLinks(path);
    struct stat st {};
    const bool exists = ::stat(target.GetString(), &st) == 0;
    if (exists && WrongKind(st) != 0) {
        m_nLastError = WrongKind(st);
        return FALSE;
    }
    // A file the user made read-only is not replaced behind their back.
    if (exists && ::access(target.GetString(), W_OK) != 0) {
        m_nLastError = errno;
        return FALSE;
    }
    // Keep the permissions a file already there has (never more: see SafeCreate.h); a new file
    // gets what any new file gets.
    afx_file::AccessLimit limit;
    limit.mode = 0666;
    if (exists) limit = afx_file::AccessOf(target.Str());
    if (!CreateTemp(target, limit)) return FALSE;
    if (exists) afx_file::ApplyAccess(m_fd, limit, true);
    m_strPath = path;
    return TRUE;
}

BOOL CReplaceFile::OpenBeside(const CString& path, const CString& dataPath) {
    Discard();
    struct stat st {};
    if (::lstat(path.GetString(), &st) == 0 && S_ISDIR(st.st_mode)) {
        m_nLastError = EISDIR;
        return FALSE;
    }
    if (!CreateTemp(path, afx_file::AccessOf(dataPath.Str()))) return FALSE;
    m_strPath = path;
    return TRUE;
}

BOOL CReplaceFile::CreateTemp(const CString& target, const afx_file::AccessLimit& limit) {
    RemoveLeftoverTemps(target);
    std::string temp;
    m_fd = afx_file::CreateTempBeside(target.Str(), limit, temp);
    if (m_fd < 0) {
        m_nLastError = errno;
        return FALSE;
    }
    m_strTempPath = CString(std::move(temp));
    m_strTarget = target;
    m_nLastError = 0;
    return TRUE;
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
    if (::rename(m_strTempPath.GetString(), m_strTarget.GetString()) != 0) {
        m_nLastError = errno;
        Discard();
        return FALSE;
    }
    m_strTempPath.Empty();
    // Make the rename itself durable.
    SyncDirectoryOf(m_strTarget.Str());
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
        ::unlink(m_strTempPath.GetString());
        m_strTempPath.Empty();
    }
}

std::string_view AfxFileNameOf(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

CString AfxAbsolutePath(const CString& path) {
    if (path.IsEmpty() || path[0] == '/') return path;
    std::string cwd(PATH_MAX, '\0');
    if (!::getcwd(cwd.data(), cwd.size())) return path;
    cwd.resize(std::char_traits<char>::length(cwd.c_str()));
    std::string_view rest = path.View();
    // "./name" is the name in the working directory; ".." may pass through a link, so it stays.
    while (rest.substr(0, 2) == "./") {
        rest.remove_prefix(2);
        while (!rest.empty() && rest[0] == '/') rest.remove_prefix(1);
    }
    return CString(cwd + (cwd.back() == '/' ? "" : "/") + std::string(rest));
}

CString AfxFullPath(const CString& path) {
    const CString absolute = AfxAbsolutePath(path);
    if (char* resolved = ::realpath(absolute.GetString(), nullptr)) {
        CString full{std::string(resolved)};
        std::free(resolved);
        return full;
    }
    // Not there (yet): its folder still has one name.
    const std::string text = absolute.Str();
    const std::string name(AfxFileNameOf(text));
    if (name.empty() || name == "." || name == "..") return absolute;
    if (char* folder = ::realpath(DirectoryOf(text).c_str(), nullptr)) {
        std::string full(folder);
        std::free(folder);
        return CString(full + (full.back() == '/' ? "" : "/") + name);
    }
    return absolute;
}

CString FileNameForDisplay(std::string_view path) {
    return PathForDisplay(path);
}
