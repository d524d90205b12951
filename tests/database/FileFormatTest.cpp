#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "database/RecordText.h"
#include "platform/base/CFile.h"
#include "tests/database/DocFixture.h"

using testing_support::FileExists;
using testing_support::MessageBoxAnswerer;
using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::Utf8;
using testing_support::WriteFile;

namespace {

std::string DateOf(CTime t) {
    return Utf8(CVelkonDoc::FormatDate(t));
}

std::string Parsed(const char* text) {
    return DateOf(CVelkonDoc::ParseDate(text));
}

}  // namespace

TEST(FileDates, EveryFormOfDateText) {
    testing_support::FakeClock clock(1'796'691'600);  // 2026/12/08 10:00 local
    EXPECT_EQ(Parsed("97/05/03"), "1997/05/03");
    EXPECT_EQ(Parsed("05/05/03"), "2005/05/03");
    EXPECT_EQ(Parsed("69/01/01"), "2069/01/01");
    EXPECT_EQ(Parsed("70/01/01"), "1970/01/01");
    EXPECT_EQ(Parsed("1997/5/3"), "1997/05/03");
    EXPECT_EQ(Parsed("1997/02/31"), "1997/03/03");
    EXPECT_EQ(Parsed("1997/05/03 garbage"), "1997/05/03");
    for (const char* bad : {"997/05/03", "1997-05-03", "1997/13/01", "1997/00/10", "1997/05/32",
                            "1997/05/0", "1997/05", "", "19970/01/01"}) {
        const CTime t = CVelkonDoc::ParseDate(bad);
        EXPECT_EQ(t.GetTime(), 1'796'691'600) << bad;  // the current date and time
    }
    EXPECT_EQ(CVelkonDoc::ParseDate("2026/12/08").GetTime(), 1'796'655'600);  // local midnight
}

TEST(FileDates, DatesOutsideThe32BitRangeStayWhole) {
    // The old runtime wrote these back as empty texts; a date the file held is kept.
    for (const char* text : {"1960/01/01", "50/01/01", "2100/02/28", "0999/12/31", "9999/12/31"})
        EXPECT_EQ(Parsed(text), std::string(text).size() == 8 ? "2050/01/01" : text) << text;
}

TEST(FileFields, SplitFieldCutsAtTabsAndCountsReadLikeAtoi) {
    CString line("ABC12345\tBlue\t\tx");
    EXPECT_EQ(CVelkonDoc::SplitField(line), "ABC12345");
    EXPECT_EQ(CVelkonDoc::SplitField(line), "Blue");
    EXPECT_EQ(CVelkonDoc::SplitField(line), "");
    EXPECT_EQ(CVelkonDoc::SplitField(line), "x");
    EXPECT_TRUE(line.IsEmpty());
    EXPECT_EQ(CVelkonDoc::SplitField(line), "");

    using record_text::Atoi;
    EXPECT_EQ(Atoi("12abc"), 12);
    EXPECT_EQ(Atoi("  -7"), -7);
    EXPECT_EQ(Atoi("+3"), 3);
    EXPECT_EQ(Atoi("abc"), 0);
    EXPECT_EQ(Atoi("99999999999999999999"), 2147483647);
    EXPECT_EQ(Atoi("-99999999999999999999"), -2147483647 - 1);
}

TEST_F(DocTest, LoadingSkipsCommentsAndEmptyLinesAndKeepsEveryOtherLine) {
    testing_support::FakeClock clock(1'796'691'600);
    const std::string longLine(20000, 'x');
    const std::string file =
        "*comment\tABC00000\r\n\r\n" +
        Sjis("ABC12345\t青い空\tm1\tm2\tm3\tm4\tm5\tm6\t12abc\t97/05/03\t1998/1/2\textra\r\n")
            .Str() +
        "abc12345\n"           // only an ID, LF line end
        "\tnoid\r\n"           // empty ID field
        "ABC12345\tdup\r\n" +  // a second record of the same ID
        longLine +
        "\r\n" +
        // A memo longer than the reader's pieces, then a line ended by a CR alone.
        "LON00001\tlong\t" + longLine + "\t\t\t\t\t\t3\t1997/05/03\t1997/05/03\r" +
        "CRR00002\tafter a lone CR\r\n";
    const std::string path = dir.File("in.lst");
    WriteFile(path, file);
    ASSERT_TRUE(doc->OnOpenDocument(path.c_str()));
    EXPECT_FALSE(doc->IsModified());

    // Long lines come back whole, and the byte after a lone CR stays.
    ASSERT_EQ(doc->GetRecordCount(), 7);
    EXPECT_EQ(Utf8(doc->m_astrHandle[0]), "青い空");
    EXPECT_EQ(doc->m_astrMemo6[0], "m6");
    EXPECT_EQ(doc->m_anUpdateCount[0], 12);
    EXPECT_EQ(DateOf(doc->m_atimeRegist[0]), "1997/05/03");
    EXPECT_EQ(DateOf(doc->m_atimeUpdate[0]), "1998/01/02");
    EXPECT_EQ(doc->m_atimePrevUpdate[0], doc->m_atimeUpdate[0]);

    EXPECT_EQ(doc->m_astrID[1], "abc12345");  // as it stands in the file
    EXPECT_TRUE(doc->m_astrHandle[1].IsEmpty());
    EXPECT_EQ(doc->m_anUpdateCount[1], 0);
    EXPECT_EQ(doc->m_atimeRegist[1].GetTime(), 1'796'691'600);
    EXPECT_EQ(doc->m_atimeUpdate[1].GetTime(), 1'796'691'600);
    EXPECT_TRUE(doc->m_astrID[2].IsEmpty());
    EXPECT_EQ(doc->m_astrID[4].Str(), longLine);
    EXPECT_EQ(doc->m_astrMemo1[5].Str(), longLine);
    EXPECT_EQ(doc->m_anUpdateCount[5], 3);
    EXPECT_EQ(doc->m_astrID[6], "CRR00002");
    EXPECT_EQ(doc->m_astrHandle[6], "after a lone CR");

    // Code order (a prefix first), equal IDs in file order.
    EXPECT_EQ(SortIndex(), (std::vector<int>{2, 0, 3, 6, 5, 1, 4}));
    EXPECT_EQ(doc->FindID("ABC12345") == 0 || doc->FindID("ABC12345") == 3, true);
    EXPECT_FALSE(doc->AddNewID("ABC12345", ""));
}

TEST_F(DocTest, SavedFileReadsBackAsTheSameRecords) {
    testing_support::FakeClock clock(1'796'691'600);
    doc->AddNewID("ABC12345", Sjis("ねこ\tまる"));  // a tab inside a field
    doc->AddNewID("ABD12345", "x");
    doc->AddNewID("ABE12345", "gone");
    doc->m_astrMemo3[0] = "line1\r\nline2";
    doc->m_anUpdateCount[1] = 77;
    doc->m_atimeRegist[1] = CVelkonDoc::ParseDate("1960/01/01");
    doc->m_atimeUpdate[1] = CVelkonDoc::ParseDate("2050/06/30");
    doc->DeleteID(2);
    const std::string path = dir.File("out.lst");
    doc->SetPathName(path.c_str());
    view.notices.clear();
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_EQ(view.notices.back(), (Notice{HINT_SAVED, -1}));
    EXPECT_EQ(doc->m_atimePrevUpdate[1], doc->m_atimeUpdate[1]);

    EXPECT_EQ(
        ReadFile(path),
        Sjis("ABC12345\tねこ まる\t\t\tline1  line2\t\t\t\t1\t2026/12/08\t2026/12/08\r\n").Str() +
            "ABD12345\tx\t\t\t\t\t\t\t77\t1960/01/01\t2050/06/30\r\n");

    CVelkonDoc again;
    ASSERT_TRUE(again.OnOpenDocument(path.c_str()));
    ASSERT_EQ(again.GetRecordCount(), 2);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(again.m_astrID[r], doc->m_astrID[r]);
        EXPECT_EQ(again.m_anUpdateCount[r], doc->m_anUpdateCount[r]);
        EXPECT_EQ(DateOf(again.m_atimeRegist[r]), DateOf(doc->m_atimeRegist[r]));
        EXPECT_EQ(DateOf(again.m_atimeUpdate[r]), DateOf(doc->m_atimeUpdate[r]));
        EXPECT_EQ(again.m_atimePrevUpdate[r], again.m_atimeUpdate[r]);
    }
}

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

// Comment lines above the first record say what the file is: a save keeps them at its top.
// Comments further down are not the file's description and go, as before.
TEST_F(DocTest, CommentsAboveTheFirstRecordStayAtTheTopThroughASave) {
    const std::string path = dir.File("commented.lst");
    WriteFile(path,
              "*sample data\r\n*second line\r\n\r\nABC12345\th\t\t\t\t\t\t\t1\t1997/05/03\t"
              "1997/05/03\r\n*between\r\nXYZ00001\r\n");
    ASSERT_TRUE(doc->OnOpenDocument(path.c_str()));
    ASSERT_EQ(doc->GetRecordCount(), 2);
    ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
    const std::string saved = ReadFile(path);
    EXPECT_EQ(saved.rfind("*sample data\r\n*second line\r\nABC12345\t", 0), 0u) << saved;
    EXPECT_EQ(saved.find("*between"), std::string::npos);
    // Another file opened: its own top, not the first file's.
    const std::string other = dir.File("plain.lst");
    WriteFile(other, "QRS00001\r\n");
    ASSERT_TRUE(doc->OnOpenDocument(other.c_str()));
    ASSERT_TRUE(doc->OnSaveDocument(other.c_str()));
    EXPECT_EQ(ReadFile(other).rfind("QRS00001\t", 0), 0u);
}
