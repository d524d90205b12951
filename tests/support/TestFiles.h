// Helpers shared by the tests of every level: a private temporary directory, files, the
// environment, a controllable clock, CP932 text.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/CString.h"

namespace testing_support {

// A fresh directory, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Sets an environment variable while it lives; what it was before (or its absence) comes back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    bool m_had = false;
    std::string m_before;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// Replaces the clock while it lives; the time is seconds since 1970 and can be moved.
class FakeClock {
public:
    explicit FakeClock(std::int64_t now);
    ~FakeClock();
    void Set(std::int64_t now);
    void Advance(std::int64_t seconds);
};

// The moment `within` from now, stretched by the factor VELKON_TIMEOUT_SCALE (default 1), so
// that every wait of the tests grows together on a slow or busy machine.
std::chrono::steady_clock::time_point DeadlineIn(std::chrono::milliseconds within);

// CP932 bytes of a UTF-8 literal, for readable tests.
CString Sjis(const char* utf8);
std::string Utf8(const CString& s);

}  // namespace testing_support
