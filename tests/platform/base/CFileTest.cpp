#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "platform/base/CFile.h"
#include "platform/base/DisplayText.h"
#include "platform/base/SafeCreate.h"
#include "tests/platform/PlatformTestUtil.h"
#include "tests/support/OtherUser.h"
#include "tests/support/TestFiles.h"

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

class CReplaceFileTest : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(target, "old"); }
    long Entries() const {
        return std::distance(std::filesystem::directory_iterator(dir.Path()), {});
    }

public:
    static mode_t Mode(const std::string& path) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return st.st_mode & 07777;
    }

protected:
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

TEST(CFile, OpensByTheFileSystemsNamesAndReportsFailures) {
    TempDir dir;
    // The bytes of the name as they are: é and the emoji have no CP932 spelling.
    const std::string utf8 = dir.File("josé-データ表😀.lst");
    const CString name(utf8);
    WriteFile(utf8, "a longer old content");
    CFile file;
    ASSERT_TRUE(file.Open(name, CFile::modeCreate | CFile::modeWrite));  // truncates
    ASSERT_TRUE(file.Write("xy", 2));
    ASSERT_TRUE(file.Open(name, CFile::modeRead | CFile::typeRegularOnly));
    char buf[8];
    EXPECT_EQ(file.Read(buf, sizeof buf), 2u);
    EXPECT_EQ(file.Read(buf, sizeof buf), 0u);
    EXPECT_EQ(ReadFile(utf8), "xy");

    EXPECT_FALSE(file.Open(CString(dir.File("missing")), CFile::modeRead));
    EXPECT_EQ(file.GetLastError(), ENOENT);
    EXPECT_FALSE(file.Open(CString(dir.Path()), CFile::modeRead));
    EXPECT_EQ(file.GetLastError(), EISDIR);
    // What is no regular file is refused before it is opened: a FIFO nobody writes to would
    // block the open for ever, a device could act on being opened.
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        EXPECT_FALSE(file.Open(CString(path), CFile::modeRead | CFile::typeRegularOnly)) << path;
        EXPECT_EQ(file.GetLastError(), ENODEV) << path;
    }
    // A parent that is a plain file stops even root, unlike a read-only directory.
    CReplaceFile replace;
    EXPECT_FALSE(replace.Open(name + "/x"));
    EXPECT_EQ(replace.GetLastError(), ENOTDIR);
    EXPECT_FALSE(replace.Commit());
    EXPECT_FALSE(replace.Open(CString(fifo)));
    EXPECT_EQ(replace.GetLastError(), ENODEV);
    EXPECT_FALSE(replace.Open(CString(dir.Path())));
    EXPECT_EQ(replace.GetLastError(), EISDIR);
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

TEST_F(CReplaceFileTest, ALinkStaysALinkAndTheFileItNamesIsReplaced) {
    namespace fs = std::filesystem;
    fs::create_directory(dir.File("real"));
    WriteFile(dir.File("real/data.lst"), "old");
    fs::create_symlink("real/data.lst", dir.File("link.lst"));  // relative to its folder
    fs::create_symlink(dir.File("link.lst"), dir.File("link2.lst"));
    ASSERT_TRUE(file.Open(CString(dir.File("link2.lst"))));
    ASSERT_TRUE(file.Write("new", 3));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadFile(dir.File("real/data.lst")), "new");
    EXPECT_TRUE(fs::is_symlink(dir.File("link.lst")));
    EXPECT_TRUE(fs::is_symlink(dir.File("link2.lst")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("real")), {}), 1);

    // A link to a file not made yet makes it.
    fs::create_symlink("real/fresh.lst", dir.File("fresh-link.lst"));
    ASSERT_TRUE(file.Open(CString(dir.File("fresh-link.lst"))));
    ASSERT_TRUE(file.Commit());
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir.File("real/fresh.lst"))));
    EXPECT_TRUE(fs::is_symlink(dir.File("fresh-link.lst")));
    EXPECT_EQ(CFile::ResolveLinks(CString(dir.File("link2.lst"))).Str(), dir.File("real/data.lst"));
}

TEST_F(CReplaceFileTest, TheNextSaveRemovesWhatAKilledSaveLeft) {
    namespace fs = std::filesystem;
    for (const char* name : {"data.lst.0badf00d.tmp", "data.lst.12345678.tmp"})
        WriteFile(dir.File(name), "half");
    // Not ours: other names, another file's leftovers, a folder.
    for (const char* name :
         {"data.lst.xyz.tmp", "data.lst.123456789.tmp", "other.lst.12345678.tmp"})
        WriteFile(dir.File(name), "keep");
    fs::create_directory(dir.File("data.lst.abcdef01.tmp"));
    ASSERT_TRUE(file.Open(CString(target)));
    ASSERT_TRUE(file.Commit());
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir.Path())) left.push_back(e.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"data.lst", "data.lst.123456789.tmp",
                                              "data.lst.abcdef01.tmp", "data.lst.xyz.tmp",
                                              "other.lst.12345678.tmp"}));
}

TEST(CFile, PreserveAsKeepsTheContentByLinkOrCopy) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string a = dir.File("a.lst"), bak = dir.File("a.bak");
    WriteFile(a, "old");
    WriteFile(bak, "older");
    ::chmod(a.c_str(), 0640);
    ASSERT_TRUE(CFile::PreserveAs(CString(a), CString(bak)));
    EXPECT_EQ(ReadFile(bak), "old");
    EXPECT_TRUE(fs::equivalent(a, bak));  // a hard link: no copy of a large file
    EXPECT_EQ(ReadFile(a), "old");

    // Kept already (a save was killed between its backup and its rename): nothing left over.
    ASSERT_TRUE(CFile::PreserveAs(CString(a), CString(bak)));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 2);

    // Through a link, the file it names is kept.
    fs::create_symlink("a.lst", dir.File("link.lst"));
    ASSERT_TRUE(CFile::PreserveAs(CString(dir.File("link.lst")), CString(dir.File("l.bak"))));
    EXPECT_FALSE(fs::is_symlink(dir.File("l.bak")));
    EXPECT_EQ(ReadFile(dir.File("l.bak")), "old");

    // Nothing to keep: nothing made.
    EXPECT_FALSE(CFile::PreserveAs(CString(dir.File("none.lst")), CString(dir.File("none.bak"))));
    EXPECT_FALSE(fs::exists(dir.File("none.bak")));

    // Across file systems a link is impossible and a copy takes its place.
    struct stat here {
    }, shm{};
    if (::stat(dir.Path().c_str(), &here) != 0 || ::stat("/dev/shm", &shm) != 0 ||
        here.st_dev == shm.st_dev)
        GTEST_SKIP() << "no second file system to copy to";
    const std::string elsewhere = "/dev/shm/velkon-test-" + std::to_string(::getpid()) + ".bak";
    ASSERT_TRUE(CFile::PreserveAs(CString(a), CString(elsewhere)));
    EXPECT_EQ(ReadFile(elsewhere), "old");
    EXPECT_FALSE(fs::equivalent(a, elsewhere));
    EXPECT_EQ(fs::status(elsewhere).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::remove(elsewhere);
}

TEST(CFile, AFileHasOneFullPathHoweverItIsNamed) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string real = fs::canonical(dir.Path()).string();
    fs::create_directory(dir.File("sub"));
    WriteFile(dir.File("data.lst"), "x");
    fs::create_symlink("data.lst", dir.File("link.lst"));
    const fs::path saved = fs::current_path();
    fs::current_path(dir.Path());
    EXPECT_EQ(AfxFullPath("data.lst").Str(), real + "/data.lst");
    EXPECT_EQ(AfxFullPath("./sub/../link.lst").Str(), real + "/data.lst");
    EXPECT_EQ(AfxFullPath(CString(dir.File("data.lst"))).Str(), real + "/data.lst");
    EXPECT_EQ(AfxFullPath("sub/new.lst").Str(), real + "/sub/new.lst");  // not there yet
    EXPECT_EQ(AfxAbsolutePath("./sub/x.lst").Str(), real + "/sub/x.lst");
    EXPECT_EQ(AfxAbsolutePath("/abs/x.lst"), "/abs/x.lst");
    fs::current_path(saved);
    EXPECT_EQ(AfxFileNameOf("/home/josé/データ.lst"), "データ.lst");
    EXPECT_EQ(DisplayTextToUtf8(FileNameForDisplay("josé.lst").View()), "josé.lst");
}

namespace {

// Another member of a group folder plants links at the names the program writes beside a data
// file, pointing at a file of the user's own outside it.
class PlantedLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(dir.File("home"));
        std::filesystem::create_directory(dir.File("shared"));
        WriteFile(victim, "my thesis");
        ::chmod(victim.c_str(), 0600);
        WriteFile(data, "records");
    }
    void TearDown() override { afx_file::SetTempNameSource({}); }
    void Plant(const std::string& at, const std::string& to) {
        std::filesystem::create_symlink(to, at);
    }
    bool VictimUntouched() const {
        struct stat st {};
        return ReadFile(victim) == "my thesis" && ::stat(victim.c_str(), &st) == 0 &&
               (st.st_mode & 07777) == 0600;
    }
    static bool IsFile(const std::string& path) {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }
    static bool Commit(CReplaceFile& file, const char* text) {
        return file.Write(text, static_cast<UINT>(std::string_view(text).size())) && file.Commit();
    }

    TempDir dir;
    const std::string victim = dir.File("home/thesis.txt");
    const std::string missing = dir.File("home/.made-by-the-link");
    const std::string data = dir.File("shared/ids.lst");
};

}  // namespace

TEST_F(PlantedLinkTest, FilesBesideTheDataReplaceALinkAtTheirNameAndNeverWriteThroughIt) {
    // The recovery file: the link itself is replaced, whether what it names is there or not.
    CReplaceFile file;
    Plant(data + ".recovery", victim);
    ASSERT_TRUE(file.OpenBeside(CString(data + ".recovery"), CString(data)));
    ASSERT_TRUE(Commit(file, "kept"));
    EXPECT_TRUE(VictimUntouched());
    EXPECT_TRUE(IsFile(data + ".recovery"));
    EXPECT_EQ(ReadFile(data + ".recovery"), "kept");
    std::filesystem::remove(data + ".recovery");
    Plant(data + ".recovery", missing);
    ASSERT_TRUE(file.OpenBeside(CString(data + ".recovery"), CString(data)));
    ASSERT_TRUE(Commit(file, "kept"));
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_TRUE(IsFile(data + ".recovery"));

    // The save's temporary file: a link at the name it draws is passed over for another name.
    unsigned next = 1;
    afx_file::SetTempNameSource([&next] { return next++; });
    Plant(data + ".00000001.tmp", victim);
    Plant(data + ".00000002.tmp", missing);
    ASSERT_TRUE(file.Open(CString(data)));
    ASSERT_TRUE(Commit(file, "saved"));
    EXPECT_EQ(ReadFile(data), "saved");
    EXPECT_TRUE(VictimUntouched());
    EXPECT_FALSE(std::filesystem::exists(missing));

    // The backup, and the temporary name it is made under.
    const std::string bak = dir.File("shared/ids.bak");
    next = 1;
    Plant(bak, victim);
    Plant(bak + ".00000001.tmp", victim);
    ASSERT_TRUE(CFile::PreserveAs(CString(data), CString(bak)));
    EXPECT_TRUE(VictimUntouched());
    EXPECT_TRUE(IsFile(bak));
    EXPECT_EQ(ReadFile(bak), "saved");
    // A link at the backup's name that names the data file is no backup either.
    std::filesystem::remove(bak);
    Plant(bak, data);
    ASSERT_TRUE(CFile::PreserveAs(CString(data), CString(bak)));
    EXPECT_TRUE(IsFile(bak));
}

TEST_F(PlantedLinkTest, FilesBesideTheDataGiveNoMoreAccessThanItDoes) {
    const mode_t mask = ::umask(0);  // so that only the data file's mode can be what limits them
    for (const mode_t mode : {mode_t{0600}, mode_t{0640}}) {
        SCOPED_TRACE(mode);
        ::chmod(data.c_str(), mode);
        CReplaceFile recovery;
        ASSERT_TRUE(recovery.OpenBeside(CString(data + ".recovery"), CString(data)));
        ASSERT_TRUE(recovery.Commit());
        EXPECT_EQ(CReplaceFileTest::Mode(data + ".recovery"), mode);
        // The save's temporary file holds the records before it takes the data file's place.
        CReplaceFile save;
        ASSERT_TRUE(save.Open(CString(data)));
        for (const auto& e : std::filesystem::directory_iterator(dir.File("shared"))) {
            if (e.path().extension() == ".tmp") {
                EXPECT_EQ(CReplaceFileTest::Mode(e.path()), mode) << e.path();
            }
        }
        ASSERT_TRUE(save.Commit());
        EXPECT_EQ(CReplaceFileTest::Mode(data), mode);
    }
    // Without a data file (an untitled document's changes): its owner alone.
    CReplaceFile alone;
    ASSERT_TRUE(alone.OpenBeside(CString(dir.File("home/untitled.recovery")), CString()));
    ASSERT_TRUE(alone.Commit());
    EXPECT_EQ(CReplaceFileTest::Mode(dir.File("home/untitled.recovery")), 0600u);
    ::umask(mask);

    // A group folder hands every new file its own group: a file beside a data file of another
    // group takes the data file's group instead, so the folder's members read nothing more.
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give files away to other groups";
    ::chown(dir.File("shared").c_str(), 0, testing_support::kNogroup);
    ::chmod(dir.File("shared").c_str(), 02775);
    ::chown(data.c_str(), 0, 0);
    std::filesystem::remove(data + ".recovery");
    CReplaceFile recovery;
    ASSERT_TRUE(recovery.OpenBeside(CString(data + ".recovery"), CString(data)));
    ASSERT_TRUE(recovery.Commit());
    CReplaceFile save;
    ASSERT_TRUE(save.Open(CString(data)));
    ASSERT_TRUE(save.Commit());
    for (const std::string& path : {data, data + ".recovery"}) {
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_gid, 0u) << path;
        EXPECT_EQ(st.st_mode & 07777, 0640u) << path;
    }
}
