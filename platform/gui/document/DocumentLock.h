// The lock a program holds on the data file it has open: a file beside it, its name followed by
// ".lock", on which the program holds an flock and in which it writes its process id. Two
// programs that save the same file would each overwrite the other's records; the second is told
// instead. A program that crashed holds no flock any more, and the next one takes its lock over.
// The lock never fails open: a lock file the user may only read is locked through a read-only
// descriptor (as when another user left it behind), and one that cannot be locked at all (a
// link at its name, which is never followed) refuses the file.
#pragma once

#include <sys/types.h>

#include "platform/base/CString.h"
#include "platform/base/UniqueFd.h"

class CDocumentLock {
public:
    CDocumentLock() = default;
    ~CDocumentLock() { Release(); }
    CDocumentLock(CDocumentLock&& o) noexcept = default;
    CDocumentLock& operator=(CDocumentLock&& o) noexcept;
    CDocumentLock(const CDocumentLock&) = delete;
    CDocumentLock& operator=(const CDocumentLock&) = delete;

    // Locks the file at path. FALSE when another program (or another lock of this one) holds
    // it (GetLastError EBUSY; *pOwner is then its process id, 0 when unknown), or when its lock
    // file cannot be locked: ELOOP for a link at its name, ENODEV for what is no regular file,
    // EACCES for one the user may not even read, another errno for what else failed. Where no
    // lock file is and none can be made (a folder the user may not write to, a read-only file
    // system, a folder not there) nobody holds one: TRUE comes back holding nothing, and the
    // lock is taken again before a save, which needs a writable folder anyway.
    BOOL Take(const CString& path, pid_t* pOwner = nullptr);
    int GetLastError() const { return m_nLastError; }
    void Release();
    // Holds the lock of the file at path (by whatever name).
    bool Holds(const CString& path) const;

    // Beside the file itself: a file reached through a link has one lock whatever its name.
    static CString LockPathOf(const CString& path);

private:
    CString m_strLockPath;
    UniqueFd m_fd;
    int m_nLastError = 0;
};
