#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/base/CTime.h"
#include "platform/base/CodePage.h"

namespace testing_support {

std::chrono::steady_clock::time_point DeadlineIn(std::chrono::milliseconds within) {
    static const double scale = [] {
        const char* text = std::getenv("VELKON_TIMEOUT_SCALE");
        const double value = text ? std::atof(text) : 1.0;
        return value > 0 ? value : 1.0;
    }();
    return std::chrono::steady_clock::now() +
           std::chrono::duration_cast<std::chrono::steady_clock::duration>(within * scale);
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velkon-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may make parts read-only; give write access back so everything can go.
    for (auto& entry : std::filesystem::recursive_directory_iterator(m_path, ec))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_name(name) {
    if (const char* before = std::getenv(name)) {
        m_had = true;
        m_before = before;
    }
    ::setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
    if (m_had)
        ::setenv(m_name.c_str(), m_before.c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool FileExists(const std::string& path) {
    return std::filesystem::exists(path);
}

namespace {
std::atomic<std::int64_t> g_now{0};
std::int64_t FakeNow() {
    return g_now.load();
}
}  // namespace

FakeClock::FakeClock(std::int64_t now) {
    g_now = now;
    CTime::SetClock(&FakeNow);
}
FakeClock::~FakeClock() {
    CTime::SetClock(nullptr);
}
void FakeClock::Set(std::int64_t now) {
    g_now = now;
}
void FakeClock::Advance(std::int64_t seconds) {
    g_now += seconds;
}

CString Sjis(const char* utf8) {
    return CString(Utf8ToCp932(utf8));
}
std::string Utf8(const CString& s) {
    return Cp932ToUtf8(s.View());
}

}  // namespace testing_support
