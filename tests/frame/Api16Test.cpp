// The 16-bit messages through client blocks: texts of a record cut to 20 bytes, dates with
// two-digit years, the record line both ways, and blocks that are missing, unknown or too small.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/frame/ApiFixture.h"

using testing_support::Sjis;
using testing_support::Utf8;

namespace {
const CTime kJan5(1997, 1, 5, 12, 0, 0);
const CTime kFeb10(1997, 2, 10, 8, 0, 0);
}  // namespace

TEST_F(ApiTest, RecordLineOfAShortRecordHasElevenFields) {
    AddRecord("ABC12345", "Blue", 3, kJan5, kFeb10);
    CString line;
    ASSERT_TRUE(client.GetText16(WM_IDAPI_GETRECORD, "ABC12345", line));
    EXPECT_EQ(Utf8(line), "ABC12345\tBlue\t\t\t\t\t\t\t3\t97/01/05\t97/02/10");
    CString date;
    ASSERT_TRUE(client.GetText16(WM_IDAPI_GETREGDATE, "ABC12345", date));
    EXPECT_EQ(Utf8(date), "97/01/05");
    ASSERT_TRUE(client.GetText16(WM_IDAPI_GETUPDATEDATE, "ABC12345", date));
    EXPECT_EQ(Utf8(date), "97/02/10");
}

TEST_F(ApiTest, PersonalFieldsAreCutToTwentyBytesHereButNotInTheFullQuery) {
    const int r = AddRecord("ABC12345", "", 1, kJan5, kFeb10);
    doc->m_astrMemo1[r] = "0123456789abcdefghijKLMNO";
    // A double-byte character across the cut is split, byte by byte.
    doc->m_astrHandle[r] = Sjis("ああああああああああああ");
    CString text;
    ASSERT_TRUE(client.GetText16(WM_IDAPI_GETMEMO1, "ABC12345", text));
    EXPECT_EQ(text.GetLength(), 20);
    EXPECT_EQ(Utf8(text), "0123456789abcdefghij");
    ASSERT_TRUE(client.GetText16(WM_IDAPI_GETHANDLE, "ABC12345", text));
    EXPECT_EQ(text, Sjis("ああああああああああああ").Left(20));
    velkon_client::Fields fields;
    ASSERT_TRUE(client.GetData("ABC12345", fields));
    EXPECT_EQ(Utf8(fields.memo[0]), "0123456789abcdefghijKLMNO");
    doc->m_astrMemo6[r] = "six";
    ASSERT_TRUE(client.GetText16(WM_IDAPI_GETMEMO6, "ABC12345", text));
    EXPECT_EQ(Utf8(text), "six");
}

TEST_F(ApiTest, LookupsOfAnUnknownIdWriteNothing) {
    AddRecord("ABC12345", "Blue", 3, kJan5, kFeb10);
    EXPECT_EQ(client.Exists16("ABC12345").value, 1);
    EXPECT_EQ(client.Exists16("abc12345").value, 0);  // IDs are compared as stored
    EXPECT_EQ(client.GetCount16("ABC12345").value, 3);
    EXPECT_EQ(client.GetCount16("XYZ00000").value, -1);
    const HGLOBAL16 out = Block("untouched", 64);
    EXPECT_EQ(Send16(WM_IDAPI_GETHANDLE, Block("XYZ00000", 9), out), 0);
    EXPECT_EQ(BlockBytes(out).substr(0, 9), "untouched");
    EXPECT_EQ(client.Present16().value, 1);
}

TEST_F(ApiTest, BlocksThatCannotBeReadFail) {
    AddRecord("ABC12345", "Blue", 3, kJan5, kFeb10);
    const HGLOBAL16 out = Block("", 64);
    // No block, a handle that was not passed, a block of no bytes.
    EXPECT_EQ(Send16(WM_IDAPI_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Send16(WM_IDAPI_GETCOUNT, 0x7777, 0), 0);
    EXPECT_EQ(Send16(WM_IDAPI_GETCOUNT, Block("", 0), 0), 0);
    EXPECT_EQ(Send16(WM_IDAPI_EXISTS, Block("", 0), 0), 0);
    EXPECT_EQ(Send16(WM_IDAPI_GETHANDLE, 0, out), 0);
    EXPECT_EQ(Send16(WM_IDAPI_GETHANDLE, Block("ABC12345", 9), 0x7777), 0);
    EXPECT_EQ(Send16(WM_IDAPI_GETHANDLE, Block("ABC12345", 9), Block("", 0)), 0);
    // A wParam wider than a word is no block handle, even if its low word is one.
    const HGLOBAL16 id = Block("ABC12345", 9);
    LRESULT result = 7;
    ASSERT_TRUE(
        ::SendMessage16(frame->GetSafeHwnd(), WM_IDAPI_GETCOUNT, 0x10000u | id, 0, &result));
    EXPECT_EQ(result, 0);
}

TEST_F(ApiTest, TextsEndAtTheBlockEndAndAnswersThatDoNotFitAreNotWritten) {
    AddRecord("ABC12345", "Blue", 3, kJan5, kFeb10);
    // An ID without a zero byte is read to the block's end and no further.
    EXPECT_EQ(Send16(WM_IDAPI_EXISTS, Block("ABC12345", 8), 0), 1);
    EXPECT_EQ(Send16(WM_IDAPI_EXISTS, Block("ABC12345XYZ", 1), 0), 0);
    const HGLOBAL16 fits = Block("", 5);  // "Blue" and its zero byte
    EXPECT_EQ(Send16(WM_IDAPI_GETHANDLE, Block("ABC12345", 9), fits), 1);
    EXPECT_EQ(BlockBytes(fits), std::string("Blue\0", 5));
    const HGLOBAL16 tooSmall = Block("xxxx", 4);
    EXPECT_EQ(Send16(WM_IDAPI_GETHANDLE, Block("ABC12345", 9), tooSmall), 0);
    EXPECT_EQ(BlockBytes(tooSmall), "xxxx");
    const HGLOBAL16 oneByte = Block("x", 1);
    EXPECT_EQ(Send16(WM_IDAPI_GETRECORD, Block("ABC12345", 9), oneByte), 0);
    EXPECT_EQ(BlockBytes(oneByte), "x");
}

TEST_F(ApiTest, SetRecordRegistersAnUnknownIdAndTakesCountAndDatesFromTheLine) {
    testing_support::FakeClock clock(1000000000 + 12 * 3600);  // 2001/09/09
    ASSERT_TRUE(
        client.SetRecord16("NEW00001", "NEW00001\tRed\tm1\t\t\t\t\tm6\t42\t97/01/05\t97/02/10"));
    const int r = doc->FindID("NEW00001");
    ASSERT_NE(r, -1);
    EXPECT_EQ(Utf8(doc->m_astrHandle[r]), "Red");
    EXPECT_EQ(Utf8(doc->m_astrMemo1[r]), "m1");
    EXPECT_EQ(Utf8(doc->m_astrMemo6[r]), "m6");
    EXPECT_EQ(doc->m_anUpdateCount[r], 42);
    EXPECT_EQ(Utf8(CVelkonDoc::FormatDate(doc->m_atimeRegist[r])), "1997/01/05");
    EXPECT_EQ(Utf8(CVelkonDoc::FormatDate(doc->m_atimeUpdate[r])), "1997/02/10");
    // The previous update date is the one of the registration: only a load or save moves it.
    EXPECT_EQ(Utf8(CVelkonDoc::FormatDate(doc->m_atimePrevUpdate[r])), "2001/09/09");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->m_nLastChanged, r);

    // Missing fields read as empty: count 0 and today's dates.
    ASSERT_TRUE(client.SetRecord16("NEW00001", "NEW00001\tOnly"));
    EXPECT_EQ(Utf8(doc->m_astrMemo1[r]), "");
    EXPECT_EQ(doc->m_anUpdateCount[r], 0);
    EXPECT_EQ(Utf8(CVelkonDoc::FormatDate(doc->m_atimeRegist[r])), "2001/09/09");
}

TEST_F(ApiTest, SetRecordCutsFieldsAt255BytesAndTheRecordReadsBackWhole) {
    // A memo far longer than a field; the handle would split a double-byte character at 255.
    CString handle("x");
    for (int i = 0; i < 200; ++i) handle += Sjis("あ");
    const std::string memo(20000, 'm');
    ASSERT_TRUE(client.SetRecord16(
        "LON00001", CString("LON00001\t") + handle + "\t" + CString(memo) + "\t\t\t\t\tm6\t3"));
    const int r = doc->FindID("LON00001");
    ASSERT_NE(r, -1);
    EXPECT_EQ(doc->m_astrHandle[r], handle.Left(1 + 2 * 127));
    EXPECT_EQ(doc->m_astrMemo1[r], CString('m', 255));
    EXPECT_EQ(doc->m_astrMemo6[r], "m6");
    EXPECT_EQ(doc->m_anUpdateCount[r], 3);

    const std::string path = dir.File("ids.lst");
    ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
    CVelkonDoc loaded;
    ASSERT_TRUE(loaded.OnOpenDocument(path.c_str()));
    ASSERT_EQ(loaded.GetRecordCount(), 1);
    EXPECT_EQ(loaded.m_astrMemo1[0], CString('m', 255));
    EXPECT_EQ(loaded.m_astrMemo6[0], "m6");
}

TEST_F(ApiTest, SetRecordWithAnotherIdInTheLineChangesNothing) {
    AddRecord("ABC12345", "Blue", 3, kJan5, kFeb10);
    doc->SetModifiedFlag(FALSE);
    EXPECT_EQ(client.SetRecord16("ABC12345", "abc12345\tRed").value, 0);
    EXPECT_EQ(client.SetRecord16("ABC12345", "XYZ00000\tRed").value, 0);
    // The line without its block.
    const HGLOBAL16 id = Block("ABC12345", 9);
    EXPECT_EQ(Send16(WM_IDAPI_SETRECORD, id, 0), 0);
    EXPECT_EQ(Utf8(doc->m_astrHandle[doc->FindID("ABC12345")]), "Blue");
    EXPECT_EQ(doc->GetRecordCount(), 1);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(ApiTest, CaptionsComeFromTheView) {
    CString caption;
    ASSERT_TRUE(client.GetCaption16(1, caption));
    EXPECT_EQ(Utf8(caption), "ハンドル");
    ASSERT_TRUE(client.GetCaption16(7, caption));
    EXPECT_EQ(Utf8(caption), "住所");
    // A caption does not fit in 4 bytes.
    const HGLOBAL16 small = Block("", 4);
    EXPECT_EQ(Send16(WM_IDAPI_GETCAPTION1, 0, small), 0);
}

TEST_F(ApiTest, NumbersInTheGapsAreNotAnswered) {
    AddRecord("ABC12345", "Blue", 3, kJan5, kFeb10);
    const HGLOBAL16 id = Block("ABC12345", 9);
    const HGLOBAL16 out = Block("", 256);
    for (UINT msg : {WM_USER + 132u, WM_USER + 134u, WM_USER + 137u, WM_USER + 149u, WM_USER + 177u,
                     WM_USER + 180u, WM_USER + 187u, WM_USER + 195u}) {
        EXPECT_EQ(Send16(msg, id, out), 0) << msg;
    }
    EXPECT_EQ(BlockBytes(out), std::string(256, '\0'));
    EXPECT_EQ(doc->GetRecordCount(), 1);
}
