// Saving through the document: the backup, links, and saves that fail.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "platform/base/CFile.h"
#include "tests/document/DocFixture.h"

using testing_support::FileExists;
using testing_support::MessageBoxAnswerer;
using testing_support::ReadFile;
using testing_support::Utf8;
using testing_support::WriteFile;

TEST_F(DocTest, SavingKeepsThePreviousFileAsTheBackup) {
    const std::string path = dir.File("id.lst");
    WriteFile(path, "OLD00001\r\n");
    WriteFile(dir.File("id.bak"), "OLDER\r\n");
    ASSERT_TRUE(doc->OnOpenDocument(path.c_str()));
    doc->SetPathName(path.c_str());
    doc->AddNewID("NEW00002", "");
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_EQ(ReadFile(dir.File("id.bak")), "OLD00001\r\n");
    EXPECT_NE(ReadFile(path).find("NEW00002"), std::string::npos);

    doc->m_bBackup = FALSE;
    doc->AddNewID("NEW00003", "");
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_EQ(ReadFile(dir.File("id.bak")), "OLD00001\r\n");
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_TRUE(e.path().filename() == "id.lst" || e.path().filename() == "id.bak" ||
                    e.path().filename() == "id.lst.lock" || e.path().filename() == "config")
            << e.path();

    // A private file stays private through the backup dance.
    std::filesystem::permissions(
        path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    doc->m_bBackup = TRUE;
    doc->AddNewID("NEW00004", "");
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    // Paths are UTF-8 bytes, where "デ" ends in a byte that CP932 reads as a lead byte.
    EXPECT_EQ(CVelkonDoc::BackupPathOf("/a.b/デ.lst"), "/a.b/デ.bak");
    EXPECT_EQ(CVelkonDoc::BackupPathOf("/a.b/noext"), "/a.b/noext.bak");
}

namespace {

// Looks at the disk at the moment the new file is about to take the data file's place.
class WatchedDoc : public CVelkonDoc {
public:
    void OnReplacingFile(LPCTSTR lpszPathName) override {
        CVelkonDoc::OnReplacingFile(lpszPathName);
        dataThen = ReadFile(lpszPathName);
        backupThen = ReadFile(BackupPathOf(lpszPathName).Str());
    }
    std::string dataThen, backupThen;
};

}  // namespace

TEST_F(DocTest, AtNoMomentIsThereNoDataFileAndALinkStaysALink) {
    namespace fs = std::filesystem;
    fs::create_directory(dir.File("real"));
    const std::string real = dir.File("real/ids.lst"), link = dir.File("ids.lst");
    WriteFile(real, "OLD00001\r\n");
    fs::create_symlink("real/ids.lst", link);
    WatchedDoc watched;
    ASSERT_TRUE(watched.OnOpenDocument(link.c_str()));
    watched.SetPathName(link.c_str());
    watched.AddNewID("NEW00002", "");
    ASSERT_TRUE(watched.DoFileSave());
    // The backup was made while the old file was still in its place.
    EXPECT_EQ(watched.dataThen, "OLD00001\r\n");
    EXPECT_EQ(watched.backupThen, "OLD00001\r\n");
    // Written through the link; the backup sits beside the name the user gave, a file of its own.
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_NE(ReadFile(real).find("NEW00002"), std::string::npos);
    EXPECT_FALSE(fs::is_symlink(dir.File("ids.bak")));
    EXPECT_EQ(ReadFile(dir.File("ids.bak")), "OLD00001\r\n");
    // Beside the file itself only its lock (see DocumentLock.h).
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("real")), {}), 2);
    EXPECT_TRUE(FileExists(dir.File("real/ids.lst.lock")));

    // Temporary files of a save that was killed go with the next save, the backup's too.
    WriteFile(dir.File("real/ids.lst.0badf00d.tmp"), "half");
    WriteFile(dir.File("ids.bak.12345678.tmp"), "half");
    watched.AddNewID("NEW00003", "");
    ASSERT_TRUE(watched.DoFileSave());
    EXPECT_FALSE(FileExists(dir.File("real/ids.lst.0badf00d.tmp")));
    EXPECT_FALSE(FileExists(dir.File("ids.bak.12345678.tmp")));
    EXPECT_EQ(watched.backupThen.find("NEW00003"), std::string::npos);
    EXPECT_NE(watched.backupThen.find("NEW00002"), std::string::npos);
}

// A write that fails half-way (the disk fills) is imitated with a file-size limit, which
// also holds for root.
class FailingWriteTest : public DocTest {
protected:
    void SetUp() override {
        DocTest::SetUp();
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &saved);
    }
    void TearDown() override {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        DocTest::TearDown();
    }
    void LimitFileSize(rlim_t bytes) {
        rlimit limit = saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    void FillDocument() {
        for (int i = 0; i < 2000; ++i) {
            char id[16];
            std::snprintf(id, sizeof id, "AAA%05d", i);
            doc->AddNewID(id, "some handle text");
        }
    }
    rlimit saved{};
};

TEST_F(FailingWriteTest, ReportsFailureLeavesFileAndBackupAndStaysModified) {
    const std::string path = dir.File("id.lst");
    WriteFile(path, "OLD00001\r\n");
    WriteFile(dir.File("id.bak"), "OLDER\r\n");
    doc->SetPathName(path.c_str());
    FillDocument();
    doc->m_atimeUpdate[0] = CTime(0);
    view.notices.clear();
    MessageBoxAnswerer answers(IDOK);
    LimitFileSize(4096);
    EXPECT_FALSE(doc->DoFileSave());
    ASSERT_EQ(answers.Texts().size(), 1u);
    EXPECT_EQ(answers.Texts()[0], "ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。\n\n" + path +
                                      "\n予期しないｴﾗｰが発生しました。(ｴﾗｰ番号 27)");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(Utf8(doc->GetTitle()), "id.lst（更新）");
    EXPECT_EQ(ReadFile(path), "OLD00001\r\n");
    EXPECT_EQ(ReadFile(dir.File("id.bak")), "OLDER\r\n");
    // Nothing looks saved: no hint, and the list's dates stay.
    EXPECT_TRUE(view.notices.empty());
    EXPECT_NE(doc->m_atimePrevUpdate[0], doc->m_atimeUpdate[0]);
}

TEST_F(FailingWriteTest, WithoutBackupThePreviousFileStaysAsItWas) {
    const std::string path = dir.File("id.lst");
    WriteFile(path, "OLD00001\r\n");
    doc->SetPathName(path.c_str());
    doc->m_bBackup = FALSE;
    FillDocument();
    MessageBoxAnswerer answers(IDOK);
    LimitFileSize(4096);
    EXPECT_FALSE(doc->DoFileSave());
    EXPECT_EQ(ReadFile(path), "OLD00001\r\n");
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_EQ(e.path().string().find(".tmp"), std::string::npos) << "left behind: " << e.path();
}

TEST_F(DocTest, SavingIntoAMissingDirectoryFailsWithoutLosingAnything) {
    MessageBoxAnswerer answers(IDOK);
    doc->AddNewID("ABC12345", "");
    EXPECT_FALSE(doc->OnSaveDocument(dir.File("missing/id.lst").c_str()));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetRecordCount(), 1);
}
