// Helpers of the platform tests.
#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <ostream>

#include "platform/base/CString.h"
#include "platform/base/CodePage.h"

// Failure messages show CP932 text readably.
inline void PrintTo(const CString& s, std::ostream* os) {
    *os << '"' << Cp932ToUtf8(s.View()) << "\" (" << s.GetLength() << " bytes)";
}

// Lowers the file size limit of the process while it lives, so that writes past it fail with
// EFBIG as they would on a full disk. Unlike a read-only directory this also fails for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        // Without this the process would be killed instead of the write failing.
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = m_old;
        lower.rlim_cur = std::min(bytes, m_old.rlim_max);
        ::setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};
