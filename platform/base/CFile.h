// Files. A path is a CString holding the bytes of the file system's own name (UTF-8 on Linux),
// never the program's code page: a name the code page cannot spell must still open. Only what
// is shown to the user is converted (FileNameForDisplay). Failures are results, never
// exceptions: errno of the failing call is kept in GetLastError().
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/base/CString.h"
#include "platform/base/CTime.h"
#include "platform/base/SafeCreate.h"

struct CFileStatus {
    CTime m_mtime;
    std::int64_t m_size = 0;
    BOOL m_bDirectory = FALSE;
    BOOL m_bRegular = FALSE;
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,
        typeBinary = 0x8000,
        // Anything but a regular file (a FIFO, a device, a socket) fails at once with ENODEV,
        // without being opened or waited on; a folder fails with EISDIR.
        typeRegularOnly = 0x10000,
        // Only a regular file of this user's own, named as it is: a symbolic link fails (ELOOP),
        // another user's file too (EPERM). For the files the program keeps beside a data file,
        // which anyone who may write the folder could have put there.
        typeOwnFileOnly = 0x20000,
    };

    CFile() = default;
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    virtual BOOL Open(const CString& path, UINT nOpenFlags);
    virtual void Close();
    BOOL IsOpen() const { return m_fd >= 0; }

    // Bytes read, 0 at end of file or on failure (see GetLastError).
    UINT Read(void* buffer, UINT nCount);
    BOOL Write(const void* buffer, UINT nCount);
    int GetLastError() const { return m_nLastError; }
    // The size of the open file; -1 when it has none (a pipe) or nothing is open.
    std::int64_t GetLength() const;
    const CString& GetFilePath() const { return m_strPath; }

    static BOOL GetStatus(const CString& path, CFileStatus& rStatus);
    static BOOL Remove(const CString& path);
    static BOOL Rename(const CString& oldPath, const CString& newPath);
    // Keeps what `path` holds now under `copyPath`, replacing whatever was there in one step: a
    // hard link where the file system allows one, else a copy. `path` itself is not touched; a
    // symbolic link is followed to the file it names. A link at copyPath is replaced like any
    // file, never written through (see SafeCreate.h).
    static BOOL PreserveAs(const CString& path, const CString& copyPath);
    // The file a path names once symbolic links in its last part are followed (the path itself
    // when it is no link, or names nothing yet).
    static CString ResolveLinks(const CString& path);
    // Removes temporary files that a save into `path` left when it was killed.
    static void RemoveLeftoverTemps(const CString& path);

protected:
    int m_fd = -1;
    int m_nLastError = 0;
    CString m_strPath;
};

// A file that replaces its target only when Commit succeeds: the bytes go to a new file beside
// the target, which is flushed to disk and renamed over it, so the target is there, whole, at
// every moment. A target that is a symbolic link stays one: the file it names is replaced.
// Closing without Commit leaves the target as it was.
class CReplaceFile : public CFile {
public:
    ~CReplaceFile() override;
    // Fails like an open for writing would: EISDIR for a folder, ENODEV for something that is
    // not a regular file, EACCES for a file the user may not write.
    BOOL Open(const CString& path, UINT nOpenFlags = modeCreate | modeWrite) override;
    // A file kept beside the data file at dataPath (its recovery file): a link at `path` is
    // replaced, never written through, and the new file gives nobody more access than the data
    // file does (its owner alone when dataPath is empty or names no file). See SafeCreate.h.
    BOOL OpenBeside(const CString& path, const CString& dataPath);
    // beforeRename runs once the new content is on disk, just before it takes the target's place.
    BOOL Commit(const std::function<void()>& beforeRename = {});
    void Close() override;

private:
    BOOL CreateTemp(const CString& target, const afx_file::AccessLimit& limit);
    void Discard();
    CString m_strTempPath;
    CString m_strTarget;  // the file replaced: the path with its links followed
};

// The part of a path after its last slash.
std::string_view AfxFileNameOf(std::string_view path);
// The path made absolute against the working directory, without looking at the disk.
CString AfxAbsolutePath(const CString& path);
// The one name of a file: absolute, links and "." and ".." resolved. For a path that names
// nothing (yet), its folder is resolved and the name kept.
CString AfxFullPath(const CString& path);
// A file name as the user reads it, a piece of the program's text that keeps every character
// of the name (PathForDisplay): shown whole through DisplayTextToUtf8 (message boxes, window
// titles, the message log).
CString FileNameForDisplay(std::string_view path);
