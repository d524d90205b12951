// Files, by path names in the program's code page. Failures are results, never exceptions:
// errno of the failing call is kept in GetLastError().
#pragma once

#include <cstdint>
#include <functional>

#include "platform/base/CString.h"
#include "platform/base/CTime.h"

struct CFileStatus {
    CTime m_mtime;
    std::int64_t m_size = 0;
    BOOL m_bDirectory = FALSE;
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,
        typeBinary = 0x8000,
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
    const CString& GetFilePath() const { return m_strPath; }

    static BOOL GetStatus(const CString& path, CFileStatus& rStatus);
    static BOOL Remove(const CString& path);
    static BOOL Rename(const CString& oldPath, const CString& newPath);

protected:
    int m_fd = -1;
    int m_nLastError = 0;
    CString m_strPath;
};

// A file that replaces its target only when Commit succeeds: the bytes go to a new file beside
// the target, which is flushed to disk and renamed over it. Closing without Commit leaves the
// target as it was.
class CReplaceFile : public CFile {
public:
    ~CReplaceFile() override;
    BOOL Open(const CString& path, UINT nOpenFlags = modeCreate | modeWrite) override;
    // beforeRename runs once the new content is on disk, just before it takes the target's place.
    BOOL Commit(const std::function<void()>& beforeRename = {});
    void Close() override;

private:
    void Discard();
    CString m_strTempPath;
};
