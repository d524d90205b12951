#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "database/PickupScanner.h"
#include "platform/base/CodePage.h"
#include "tests/database/StoreFixture.h"

using testing_support::FakeClock;
using testing_support::Sjis;
using testing_support::Utf8;

namespace {

// The picked-up IDs with their handles, "ID:handle|handle", in pickup order (UTF-8).
std::vector<std::string> Picked(const CRecordStore& doc) {
    std::vector<std::string> out;
    for (int p = 0; p < doc.m_astrPickupID.GetSize(); ++p) {
        std::string entry = Utf8(doc.m_astrPickupID[p]) + ":";
        const CStringArray& handles = *doc.m_aPickupHandles[p];
        for (int h = 0; h < handles.GetSize(); ++h) entry += (h ? "|" : "") + Utf8(handles[h]);
        out.push_back(entry);
    }
    return out;
}

std::vector<std::string> PickLine(const char* utf8Line) {
    CRecordStore doc;
    CString text = Sjis(utf8Line) + "\r\n";
    doc.PickupText(text);
    return Picked(doc);
}

using V = std::vector<std::string>;

}  // namespace

TEST(PickupScanner, IdForms) {
    EXPECT_EQ(PickLine("abc12345 Blue"), V{"ABC12345:Blue"});
    EXPECT_EQ(PickLine("XABC12345"), V{"ABC12345:"});
    EXPECT_EQ(PickLine("ABCD12345"), V{"BCD12345:"});
    EXPECT_EQ(PickLine("ABC123456"), V{"ABC12345:"});
    EXPECT_EQ(PickLine("AB12345 ABC1234 ＡＢＣ12345"), V{});
    // A letter that is the trail byte of a double-byte character does not start an ID:
    // ア is 0x83 0x41, and 0x41 is "A".
    EXPECT_EQ(PickLine("アBC12345 ZZZ00001"), V{"ZZZ00001:"});
}

TEST(PickupScanner, HandleWordsSpacesAndStops) {
    EXPECT_EQ(PickLine("ABC12345 Blue"), V{"ABC12345:Blue"});
    EXPECT_EQ(PickLine("ABC12345  Blue Sky again"), V{"ABC12345:Blue Sky"});
    EXPECT_EQ(PickLine("ABC12345　青い　空"), V{"ABC12345:青い　空"});
    EXPECT_EQ(PickLine("ABC12345 Blue/Sky"), V{"ABC12345:Blue"});
    EXPECT_EQ(PickLine("ABC12345/Blue"), V{"ABC12345:"});
    EXPECT_EQ(PickLine("ABC12345Blue"), V{"ABC12345:"});
    EXPECT_EQ(PickLine("ABC12345 B"), V{"ABC12345:B"});
    EXPECT_EQ(PickLine("ABC12345 Blue S"), V{"ABC12345:Blue S"});
    EXPECT_EQ(PickLine("ABC12345 Blue Sk"), V{"ABC12345:Blue Sk"});
    EXPECT_EQ(PickLine("ABC12345   "), V{"ABC12345:"});
    EXPECT_EQ(PickLine("ABC12345 Blue ABD12345"), V{"ABC12345:Blue ABD12345"});
    EXPECT_EQ(PickLine("ABC12345ABD12345"), V{"ABC12345:"});
    EXPECT_EQ(PickLine("ABC12345,ABD12345"), (V{"ABC12345:", "ABD12345:"}));
    EXPECT_EQ(PickLine("ABC12345 青い、空"), V{"ABC12345:青い"});
    EXPECT_EQ(PickLine("ABC12345 ねこ。ABD12345 いぬ：x"), (V{"ABC12345:ねこ", "ABD12345:いぬ"}));
    EXPECT_EQ(PickLine("ABC12345 Blue ／x"), V{"ABC12345:Blue"});
    EXPECT_EQ(PickLine("ABC12345 　：Blue"), V{"ABC12345:"});
    EXPECT_EQ(PickLine("ABC12345 A\tB"), V{"ABC12345:A"});
}

TEST_F(StoreTest, OnlyCompleteLinesAreScannedAndTheRestWaits) {
    CString buffer(" \r\n\tABC12345 Blue");
    doc->PickupText(buffer);
    EXPECT_EQ(buffer, "ABC12345 Blue");  // leading white space goes even so
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 0);
    buffer += " Sky\r";
    doc->PickupText(buffer);
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 0);
    buffer += "\nABD";
    doc->PickupText(buffer);
    EXPECT_EQ(Picked(*doc), V{"ABC12345:Blue Sky"});
    EXPECT_EQ(buffer, "ABD");

    // A double-byte character cut between two deliveries is whole again before scanning.
    const CString line = Sjis("00001 ねこ\r\n");
    buffer += line.Left(7);
    doc->PickupText(buffer);
    buffer += line.Mid(7);
    doc->PickupText(buffer);
    EXPECT_EQ(Picked(*doc).back(), "ABD00001:ねこ");
    EXPECT_TRUE(buffer.IsEmpty());
}

// Text that arrives a piece at a time, as from the clipboard's slices or a terminal's reads:
// whatever the cuts, the pickups are those of the whole text, while only the added text is
// searched for a line end and a long line waits in pieces of at most the limit.
TEST(PickupPieces, AnyCutsGiveThePickupsOfTheWholeText) {
    std::mt19937 rng(7);
    const std::vector<std::string> words = {
        "Blue", "Sky", Sjis("青い空").Str(), Sjis("ｶﾀｶﾅ").Str(), "x", Sjis("、").Str(), "/",
        "  ",   "\t"};
    const auto chatter = [&](std::size_t n) {
        std::string s;
        while (s.size() < n) s += words[rng() % words.size()] + (rng() % 3 ? " " : "");
        return s;
    };
    std::string text;
    for (int line = 0; line < 400; ++line) {
        // Now and then a line far longer than may wait for its end, with IDs all through it.
        const std::size_t length = line % 97 == 5 ? 150000 : rng() % 200;
        std::string l;
        while (l.size() < length) {
            char id[16];
            std::snprintf(id, sizeof id, "%c%c%c%05u", 'A' + static_cast<char>(rng() % 26),
                          'a' + static_cast<char>(rng() % 26), 'Z',
                          static_cast<unsigned>(rng() % 100000));
            l += chatter(rng() % 300) + id + (rng() % 2 ? " " : "") + chatter(rng() % 20);
        }
        text += l + (rng() % 8 == 0 ? "\r" : "") + "\r\n";
    }

    CRecordStore whole;
    CString all(text);
    whole.PickupText(all);
    ASSERT_GT(whole.m_astrPickupID.GetSize(), 1000);

    for (const std::size_t maxPiece : {1u, 7u, 256u, 4096u}) {
        CRecordStore pieces;
        CString buffer;
        std::size_t longest = 0;
        for (std::size_t pos = 0; pos < text.size();) {
            const std::size_t n = std::min<std::size_t>(1 + rng() % maxPiece, text.size() - pos);
            buffer += CString(std::string_view(text).substr(pos, n));
            pos += n;
            pieces.PickupText(buffer, n, CRecordStore::kMaxWaitingText);
            longest = std::max(longest, static_cast<std::size_t>(buffer.GetLength()));
        }
        EXPECT_EQ(Picked(pieces), Picked(whole)) << "pieces of up to " << maxPiece;
        EXPECT_TRUE(buffer.IsEmpty());
        EXPECT_LE(longest, CRecordStore::kMaxWaitingText + maxPiece);
    }
}

TEST_F(StoreTest, ALineEndCutBetweenTwoPiecesEndsTheLine) {
    CString buffer("ABC12345 Blue\r");
    doc->PickupText(buffer, buffer.GetLength(), CRecordStore::kMaxWaitingText);
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 0);
    buffer += "\nXYZ";
    doc->PickupText(buffer, 4, CRecordStore::kMaxWaitingText);
    EXPECT_EQ(Picked(*doc), V{"ABC12345:Blue"});
    EXPECT_EQ(buffer, "XYZ");
}

TEST_F(StoreTest, RepeatedFindsCollectDistinctHandlesAndSkipSilentRepeats) {
    doc->AddNewID("ABC12345", "");
    doc->notices.clear();
    CString text("ABC12345 Blue\r\nABC12345 Blue\r\nabc12345 Red\r\nABC12345\r\nXYZ00001\r\n");
    doc->PickupText(text);
    EXPECT_EQ(Picked(*doc), (V{"ABC12345:Blue|Red", "XYZ00001:"}));
    // The repeated "Blue" sends nothing; an unregistered ID names no record.
    const std::vector<Notice> expected = {
        {HINT_PICKED, 0}, {HINT_PICKED, 0}, {HINT_PICKED, 0}, {HINT_PICKED, -1}};
    EXPECT_EQ(doc->notices, expected);
    EXPECT_EQ(doc->FindPickup("XYZ00001"), 1);
    EXPECT_EQ(doc->FindPickup("xyz00001"), -1);

    doc->ClearPickup();
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 0);
    EXPECT_EQ(doc->FindPickup("ABC12345"), -1);
    text = "ABC12345 Blue\r\n";
    doc->PickupText(text);
    EXPECT_EQ(Picked(*doc), V{"ABC12345:Blue"});
}

TEST_F(StoreTest, NoPickupIdsAreIgnoredEntirely) {
    doc->m_astrNoPickupID.Add("ABC12345");
    doc->notices.clear();
    CString text("abc12345 Blue, ABD12345\r\n");
    doc->PickupText(text);
    EXPECT_EQ(Picked(*doc), V{"ABD12345:"});
    EXPECT_EQ(doc->notices.size(), 1u);
}

class UpdateCountTest : public StoreTest {
protected:
    static constexpr std::int64_t kDay = 24 * 60 * 60;
    // 2026-12-08 10:00 in JST-9.
    static constexpr std::int64_t kMorning = 1'796'691'600;

    void Pick(const char* id) {
        CString text = CString(id) + "\r\n";
        doc->PickupText(text);
    }
};

TEST_F(UpdateCountTest, RaisedOnceOnALaterDayAndNotOnTheDayOfRegistration) {
    FakeClock clock(kMorning);
    doc->AddNewID("ABC12345", "");
    doc->SetModifiedFlag(FALSE);
    Pick("ABC12345");
    EXPECT_EQ(doc->m_anUpdateCount[0], 1);
    EXPECT_FALSE(doc->IsModified());

    clock.Advance(kDay);
    Pick("ABC12345");
    Pick("ABC12345");                       // already in the list: no second raise
    EXPECT_EQ(doc->m_anUpdateCount[0], 1);  // the list was not cleared since
    doc->ClearPickup();
    Pick("ABC12345");
    EXPECT_EQ(doc->m_anUpdateCount[0], 2);
    EXPECT_EQ(doc->m_atimeUpdate[0].GetTime(), kMorning + kDay);
    EXPECT_TRUE(doc->IsModified());

    // Without a save the previous update date stays, so the same day raises again after clearing.
    doc->ClearPickup();
    Pick("ABC12345");
    EXPECT_EQ(doc->m_anUpdateCount[0], 3);
}

TEST_F(UpdateCountTest, CountStopsAt9999ButTheDateMovesOn) {
    FakeClock clock(kMorning);
    doc->AddNewID("ABC12345", "");
    doc->AddNewID("ABD12345", "");
    doc->m_anUpdateCount[0] = 9999;
    doc->m_anUpdateCount[1] = 12000;
    doc->m_atimePrevUpdate[0] = CTime(kMorning - kDay);
    doc->m_atimePrevUpdate[1] = CTime(kMorning - kDay);
    doc->SetModifiedFlag(FALSE);
    Pick("ABC12345,ABD12345");
    Pick("ABD12345");
    EXPECT_EQ(doc->m_anUpdateCount[0], 9999);
    EXPECT_EQ(doc->m_anUpdateCount[1], 12000);
    EXPECT_EQ(doc->m_atimeUpdate[0].GetTime(), kMorning);
    EXPECT_TRUE(doc->IsModified());
}

namespace {

// What a scan found, "ID:handle" (handles in CP932).
std::vector<std::string> Finds(const CFoundIds& found) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < found.Size(); ++i)
        out.push_back(std::string(found.Id(i)) + ":" + std::string(found.Handle(i)));
    return out;
}

}  // namespace

// Another program's UTF-8 is scanned as it comes, without converting it: whatever it holds, in
// whatever pieces, the IDs and handles found are those of the same text made CP932 first. The
// texts mix IDs and near misses with every character that parts handles (ASCII and full-width
// spaces and stops), line ends of both kinds and lone CRs, zero bytes (which the conversion
// drops), characters CP932 has as one byte or not at all, and bytes no UTF-8 character starts.
TEST(PickupScanner, Utf8TextFindsWhatItsCp932FormFinds) {
    // clang-format off
    const std::vector<std::string> tokens = {
        "ABC12345", "abc00001", "XYZ9999", "ABCD12345", "Q1234567", "Blue", "red", "x", "12345",
        " ", "\xE3\x80\x80", "、", "。", "，", "／", "：", "/", ":", ",", "\t",
        "\r", "\n", "\r\n", std::string(1, '\0'),
        "青い空", "ｱｲｳ", "¥", "‾", "😀",
        "\xE3\x80", "\xE3", "\xEF\xBC", "\xF0\x9F", "\xF8", "\xFF", "\x80"};
    // clang-format on
    std::mt19937 rng(7);
    for (int round = 0; round < 4000; ++round) {
        std::string utf8;
        const int n = static_cast<int>(rng() % 60);
        for (int k = 0; k < n; ++k) utf8 += tokens[rng() % tokens.size()];

        CFoundIds expected;
        pickup_scan::ScanText(Utf8ToCp932CrLf(utf8) + "\r\n", std::string::npos, std::string::npos,
                              expected);
        // As the clipboard's worker takes it: pieces of any length, a line end added at the end.
        const std::string all = utf8 + "\r\n";
        CFoundIds found;
        std::string line;
        bool zeroPending = false;
        for (std::size_t at = 0; at < all.size();) {
            const std::size_t piece = std::min<std::size_t>(1 + rng() % 24, all.size() - at);
            const std::size_t before = line.size();
            pickup_scan::AppendUtf8Piece(line, std::string_view(all).substr(at, piece),
                                         zeroPending);
            at += piece;
            line.erase(
                0, pickup_scan::ScanUtf8Text(line, line.size() - before, std::string::npos, found));
        }
        ASSERT_EQ(Finds(found), Finds(expected))
            << "round " << round << " " << ::testing::PrintToString(utf8);
    }
}
