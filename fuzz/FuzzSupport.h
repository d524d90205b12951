// What every fuzz target needs before its first input: a fixed time zone and clock, so that a
// crash found once reproduces anywhere, and a throwaway directory for the files it writes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "platform/base/CTime.h"

namespace fuzz_support {

// 2024-03-15 12:00 JST: "now" for every record whose date does not parse.
inline std::int64_t g_now = 1710471600;
inline std::int64_t FixedNow() {
    return g_now;
}

// A private directory made once per process; the fuzz targets keep their files here.
inline const std::string& WorkDir() {
    static const std::string dir = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/velkon-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        return pattern;
    }();
    return dir;
}

inline void RemoveWorkDir() {
    std::error_code ec;
    std::filesystem::remove_all(WorkDir(), ec);
}

inline void Init() {
    setenv("TZ", "JST-9", 1);
    tzset();
    CTime::SetClock(&FixedNow);
    // Made before the handler is registered, so that the name is still there when it runs.
    WorkDir();
    std::atexit(RemoveWorkDir);
}

// Aborts with a message: libFuzzer reports the input that got here as a crash.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

}  // namespace fuzz_support

#define FUZZ_CHECK(cond)                          \
    do {                                          \
        if (!(cond)) ::fuzz_support::Fail(#cond); \
    } while (0)
