// The lock a program holds on the data file it has open: a file beside it, its name followed by
// ".lock", on which the program holds an flock and in which it writes its process id. Two
// programs that save the same file would each overwrite the other's records; the second is told
// instead. A program that crashed holds no flock any more, and the next one takes its lock over.
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
    // it; *pOwner is then its process id, 0 when unknown. Where no lock file can be made (a
    // folder the user may not write to) nobody can hold one, and TRUE comes back holding
    // nothing.
    BOOL Take(const CString& path, pid_t* pOwner = nullptr);
    void Release();
    // Holds the lock of the file at path (by whatever name).
    bool Holds(const CString& path) const;

    // Beside the file itself: a file reached through a link has one lock whatever its name.
    static CString LockPathOf(const CString& path);

private:
    CString m_strLockPath;
    UniqueFd m_fd;
};
