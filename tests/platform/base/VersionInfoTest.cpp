// Version information read from a program file: the program's own, a file without it, and
// files that only look like programs.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/base/VersionInfo.h"
#include "tests/support/TestFiles.h"

using testing_support::Utf8;

namespace {

std::vector<char> InfoOf(const char* path) {
    DWORD handle = 1;
    const DWORD size = ::GetFileVersionInfoSize(path, &handle);
    EXPECT_EQ(handle, 0u);
    std::vector<char> info(size);
    if (size) {
        EXPECT_TRUE(::GetFileVersionInfo(path, handle, size, info.data()));
    }
    return info;
}

std::string Query(const std::vector<char>& info, const char* what) {
    LPVOID p = nullptr;
    UINT length = 0;
    if (!::VerQueryValue(info.data(), what, &p, &length)) return "<none>";
    return Utf8(CString(static_cast<const char*>(p)));
}

}  // namespace

TEST(VersionInfoTest, TheProgramFileHasItsVersion) {
    const std::vector<char> info = InfoOf(VELKON95);
    ASSERT_FALSE(info.empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValue(info.data(), "\\", reinterpret_cast<LPVOID*>(&fixed), &length));
    EXPECT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(fixed->dwProductVersionMS, (3u << 16) | 4u);
    EXPECT_EQ(fixed->dwProductVersionLS, 13u << 16);
    EXPECT_EQ(Query(info, "\\StringFileInfo\\041104b0\\ProductName"), "Velkon for Windows95");
    EXPECT_EQ(Query(info, "\\StringFileInfo\\041104B0\\CompanyName"), "Brambl Free Software");
    EXPECT_EQ(Query(info, "\\StringFileInfo\\041104b0\\Comments"),
              "NIFTY-Serve、PC-VANなどのIDを管理するツールです。");
    EXPECT_NE(Query(info, "\\StringFileInfo\\041104b0\\LegalCopyright"), "<none>");
    EXPECT_EQ(Query(info, "\\StringFileInfo\\040904b0\\ProductName"), "<none>");
    EXPECT_EQ(Query(info, "\\StringFileInfo\\041104b0\\NoSuchValue"), "<none>");
    EXPECT_EQ(Query(info, "\\StringFileInfo\\041104b0"), "<none>");
    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValue(info.data(), "\\VarFileInfo\\Translation",
                                reinterpret_cast<LPVOID*>(&translation), &length));
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 0x04B0);
}

TEST(VersionInfoTest, AShortBufferStopsQueriesWhereItEnds) {
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSize(VELKON95, &handle);
    std::vector<char> info(size, '\0');
    // Room for the fixed information and no strings.
    ASSERT_TRUE(::GetFileVersionInfo(VELKON95, 0, 4 + 8 + 52 + 4, info.data()));
    LPVOID p = nullptr;
    UINT length = 0;
    EXPECT_TRUE(::VerQueryValue(info.data(), "\\", &p, &length));
    EXPECT_FALSE(
        ::VerQueryValue(info.data(), "\\StringFileInfo\\041104b0\\ProductName", &p, &length));
    EXPECT_FALSE(::GetFileVersionInfo(VELKON95, 0, 3, info.data()));
}

TEST(VersionInfoTest, FilesWithoutItHaveNone) {
    testing_support::TempDir dir;
    DWORD handle = 0;
    // This test program carries no version resource.
    EXPECT_EQ(::GetFileVersionInfoSize("/proc/self/exe", &handle), 0u);
    EXPECT_EQ(::GetFileVersionInfoSize(dir.File("missing").c_str(), &handle), 0u);
    EXPECT_EQ(::GetFileVersionInfoSize(dir.Path().c_str(), &handle), 0u);
    EXPECT_EQ(::GetFileVersionInfoSize("", &handle), 0u);
    EXPECT_EQ(::GetFileVersionInfoSize(nullptr, &handle), 0u);
    // The program file cut short: its section headers are gone.
    std::string image = testing_support::ReadFile(VELKON95);
    testing_support::WriteFile(dir.File("cut"), image.substr(0, image.size() / 2));
    EXPECT_EQ(::GetFileVersionInfoSize(dir.File("cut").c_str(), &handle), 0u);
    testing_support::WriteFile(dir.File("elf"),
                               "\x7f"
                               "ELF");
    EXPECT_EQ(::GetFileVersionInfoSize(dir.File("elf").c_str(), &handle), 0u);
    char block[64] = {};
    EXPECT_FALSE(::GetFileVersionInfo(dir.File("elf").c_str(), 0, sizeof block, block));
    LPVOID p = nullptr;
    EXPECT_FALSE(::VerQueryValue(block, "\\", &p, nullptr));
}
