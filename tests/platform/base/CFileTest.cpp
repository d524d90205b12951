#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <iterator>
#include <string>

#include "platform/base/CFile.h"
#include "tests/platform/PlatformTestUtil.h"
#include "tests/support/TestFiles.h"

using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

class CReplaceFileTest : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(target, "old"); }
    long Entries() const {
        return std::distance(std::filesystem::directory_iterator(dir.Path()), {});
    }
    static mode_t Mode(const std::string& path) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return st.st_mode & 07777;
    }

    TempDir dir;
    const std::string target = dir.File("data.lst");
    CReplaceFile file;
};

}  // namespace

TEST_F(CReplaceFileTest, OnlyCommitReplacesTheTarget) {
    {
        CReplaceFile dropped;  // gone without Commit
        ASSERT_TRUE(dropped.Open(CString(target)));
        dropped.Write("new", 3);
    }
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_EQ(Entries(), 1);

    ASSERT_TRUE(file.Open(CString(target)));
    ASSERT_TRUE(file.Write("new", 3));
    EXPECT_EQ(Entries(), 2);
    EXPECT_TRUE(file.Commit());
    EXPECT_EQ(ReadFile(target), "new");
    EXPECT_EQ(Entries(), 1);
    EXPECT_FALSE(file.Commit());  // once only
}

TEST_F(CReplaceFileTest, FailedWriteFailsCommitAndKeepsTheTarget) {
    ASSERT_TRUE(file.Open(CString(target)));
    const std::string bytes(8192, 'x');
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(file.Write(bytes.data(), static_cast<UINT>(bytes.size())));
    }
    EXPECT_EQ(file.GetLastError(), EFBIG);
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_EQ(Entries(), 1);
}

TEST_F(CReplaceFileTest, KeepsThePermissionsOfTheOldFile) {
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(file.Open(CString(target)));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(Mode(target), 0640u);

    // A new file gets what any new file gets, not a temp file's private mode.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ASSERT_TRUE(file.Open(CString(dir.File("fresh.lst"))));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(Mode(dir.File("fresh.lst")), 0666u & ~mask);
}

TEST(CFile, OpensByCodePageNamesAndReportsFailures) {
    TempDir dir;
    const CString name = CString(dir.Path()) + "/" + Sjis("データ表.lst");
    WriteFile(dir.File("データ表.lst"), "a longer old content");
    CFile file;
    ASSERT_TRUE(file.Open(name, CFile::modeCreate | CFile::modeWrite));  // truncates
    ASSERT_TRUE(file.Write("xy", 2));
    ASSERT_TRUE(file.Open(name, CFile::modeRead));
    char buf[8];
    EXPECT_EQ(file.Read(buf, sizeof buf), 2u);
    EXPECT_EQ(file.Read(buf, sizeof buf), 0u);

    EXPECT_FALSE(file.Open(CString(dir.File("missing")), CFile::modeRead));
    EXPECT_EQ(file.GetLastError(), ENOENT);
    EXPECT_FALSE(file.Open(CString(dir.Path()), CFile::modeRead));
    // A parent that is a plain file stops even root, unlike a read-only directory.
    CReplaceFile replace;
    EXPECT_FALSE(replace.Open(name + "/x"));
    EXPECT_EQ(replace.GetLastError(), ENOTDIR);
    EXPECT_FALSE(replace.Commit());
}

TEST(CFile, StatusRemoveAndRenameReportTheirResults) {
    TempDir dir;
    const CString a(dir.File("a")), b(dir.File("b"));
    WriteFile(dir.File("a"), "12345");
    const timespec times[2] = {{1'700'000'000, 0}, {1'700'000'000, 0}};
    ::utimensat(AT_FDCWD, dir.File("a").c_str(), times, 0);
    CFileStatus st;
    ASSERT_TRUE(CFile::GetStatus(a, st));
    EXPECT_EQ(st.m_size, 5);
    EXPECT_FALSE(st.m_bDirectory);
    EXPECT_EQ(st.m_mtime.GetTime(), 1'700'000'000);
    EXPECT_FALSE(CFile::GetStatus(b, st));
    EXPECT_TRUE(CFile::Rename(a, b));
    EXPECT_TRUE(CFile::GetStatus(b, st));
    EXPECT_FALSE(CFile::Rename(a, b));
    EXPECT_TRUE(CFile::Remove(b));
    EXPECT_FALSE(CFile::Remove(b));
}
