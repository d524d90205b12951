// The .lst file: its dates, fields and lines as read, and the records as written.
#include <gtest/gtest.h>

#include "database/RecordText.h"
#include "tests/database/StoreFixture.h"

using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::Utf8;
using testing_support::WriteFile;

namespace {

std::string DateOf(CTime t) {
    return Utf8(CRecordStore::FormatDate(t));
}

std::string Parsed(const char* text) {
    return DateOf(CRecordStore::ParseDate(text));
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
        const CTime t = CRecordStore::ParseDate(bad);
        EXPECT_EQ(t.GetTime(), 1'796'691'600) << bad;  // the current date and time
    }
    EXPECT_EQ(CRecordStore::ParseDate("2026/12/08").GetTime(), 1'796'655'600);  // local midnight
}

TEST(FileDates, DatesOutsideThe32BitRangeStayWhole) {
    // The old runtime wrote these back as empty texts; a date the file held is kept.
    for (const char* text : {"1960/01/01", "50/01/01", "2100/02/28", "0999/12/31", "9999/12/31"})
        EXPECT_EQ(Parsed(text), std::string(text).size() == 8 ? "2050/01/01" : text) << text;
}

TEST(FileFields, SplitFieldCutsAtTabsAndCountsReadLikeAtoi) {
    CString line("ABC12345\tBlue\t\tx");
    EXPECT_EQ(CRecordStore::SplitField(line), "ABC12345");
    EXPECT_EQ(CRecordStore::SplitField(line), "Blue");
    EXPECT_EQ(CRecordStore::SplitField(line), "");
    EXPECT_EQ(CRecordStore::SplitField(line), "x");
    EXPECT_TRUE(line.IsEmpty());
    EXPECT_EQ(CRecordStore::SplitField(line), "");

    using record_text::Atoi;
    EXPECT_EQ(Atoi("12abc"), 12);
    EXPECT_EQ(Atoi("  -7"), -7);
    EXPECT_EQ(Atoi("+3"), 3);
    EXPECT_EQ(Atoi("abc"), 0);
    EXPECT_EQ(Atoi("99999999999999999999"), 2147483647);
    EXPECT_EQ(Atoi("-99999999999999999999"), -2147483647 - 1);
}

TEST_F(StoreTest, LoadingSkipsCommentsAndEmptyLinesAndKeepsEveryOtherLine) {
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
    ASSERT_TRUE(doc->Load(path));
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

TEST_F(StoreTest, SavedFileReadsBackAsTheSameRecords) {
    testing_support::FakeClock clock(1'796'691'600);
    doc->AddNewID("ABC12345", Sjis("ねこ\tまる"));  // a tab inside a field
    doc->AddNewID("ABD12345", "x");
    doc->AddNewID("ABE12345", "gone");
    doc->m_astrMemo3[0] = "line1\r\nline2";
    doc->m_anUpdateCount[1] = 77;
    doc->m_atimeRegist[1] = CRecordStore::ParseDate("1960/01/01");
    doc->m_atimeUpdate[1] = CRecordStore::ParseDate("2050/06/30");
    doc->DeleteID(2);
    const std::string path = dir.File("out.lst");
    doc->notices.clear();
    ASSERT_TRUE(doc->Save(path));
    EXPECT_EQ(doc->notices.back(), (Notice{HINT_SAVED, -1}));
    EXPECT_EQ(doc->m_atimePrevUpdate[1], doc->m_atimeUpdate[1]);

    EXPECT_EQ(
        ReadFile(path),
        Sjis("ABC12345\tねこ まる\t\t\tline1  line2\t\t\t\t1\t2026/12/08\t2026/12/08\r\n").Str() +
            "ABD12345\tx\t\t\t\t\t\t\t77\t1960/01/01\t2050/06/30\r\n");

    RecordingStore again;
    ASSERT_TRUE(again.Load(path));
    ASSERT_EQ(again.GetRecordCount(), 2);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(again.m_astrID[r], doc->m_astrID[r]);
        EXPECT_EQ(again.m_anUpdateCount[r], doc->m_anUpdateCount[r]);
        EXPECT_EQ(DateOf(again.m_atimeRegist[r]), DateOf(doc->m_atimeRegist[r]));
        EXPECT_EQ(DateOf(again.m_atimeUpdate[r]), DateOf(doc->m_atimeUpdate[r]));
        EXPECT_EQ(again.m_atimePrevUpdate[r], again.m_atimeUpdate[r]);
    }
}

// Comment lines above the first record say what the file is: a save keeps them at its top.
// Comments further down are not the file's description and go, as before.

TEST_F(StoreTest, CommentsAboveTheFirstRecordStayAtTheTopThroughASave) {
    const std::string path = dir.File("commented.lst");
    WriteFile(path,
              "*sample data\r\n*second line\r\n\r\nABC12345\th\t\t\t\t\t\t\t1\t1997/05/03\t"
              "1997/05/03\r\n*between\r\nXYZ00001\r\n");
    ASSERT_TRUE(doc->Load(path));
    ASSERT_EQ(doc->GetRecordCount(), 2);
    ASSERT_TRUE(doc->Save(path));
    const std::string saved = ReadFile(path);
    EXPECT_EQ(saved.rfind("*sample data\r\n*second line\r\nABC12345\t", 0), 0u) << saved;
    EXPECT_EQ(saved.find("*between"), std::string::npos);
    // Another file opened: its own top, not the first file's.
    const std::string other = dir.File("plain.lst");
    WriteFile(other, "QRS00001\r\n");
    ASSERT_TRUE(doc->Load(other));
    ASSERT_TRUE(doc->Save(other));
    EXPECT_EQ(ReadFile(other).rfind("QRS00001\t", 0), 0u);
}
