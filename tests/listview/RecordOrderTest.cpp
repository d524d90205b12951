// The texts a record shows and the order they sort rows in, on a document in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "listview/DataColumns.h"
#include "listview/RecordOrder.h"
#include "listview/VelkonView.h"
#include "platform/base/Mbcs.h"
#include "tests/listview/MemoryDoc.h"

using listview_test::AddRecord;
using listview_test::Day;
using testing_support::Sjis;

namespace {

// The rows as the list's stable sort leaves them.
std::vector<int> Sorted(const CVelkonDoc& doc, std::vector<int> rows, int nDataColumn,
                        bool forward) {
    const RecordOrder order = OrderRecords(doc, rows, nDataColumn, forward);
    std::stable_sort(rows.begin(), rows.end(),
                     [&order](int a, int b) { return order.Compare(a, b) < 0; });
    return rows;
}

std::vector<int> AllOf(const CVelkonDoc& doc) {
    std::vector<int> rows(static_cast<std::size_t>(doc.GetRecordCount()));
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<int>(i);
    return rows;
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

}  // namespace

TEST(RecordText, EachDataColumnShowsItsFieldAndDatesAndCountsSortAsText) {
    CVelkonDoc doc;
    const int r = AddRecord(doc, "ABC12345", "あおい");
    CTextColumn* memos[] = {&doc.m_astrMemo1, &doc.m_astrMemo2, &doc.m_astrMemo3,
                            &doc.m_astrMemo4, &doc.m_astrMemo5, &doc.m_astrMemo6};
    for (int i = 0; i < 6; ++i)
        (*memos[i])[r] = CString(std::string(1, static_cast<char>('1' + i)));
    doc.m_atimeRegist[r] = Day(1997, 5, 3, 23);
    doc.m_atimeUpdate[r] = Day(1999, 9, 9);
    doc.m_atimePrevUpdate[r] = Day(1998, 1, 2, 0);
    doc.m_anUpdateCount[r] = 3;

    EXPECT_EQ(data_column::Text(doc, r, data_column::ID), "ABC12345");
    EXPECT_EQ(data_column::Text(doc, r, data_column::Handle), Sjis("あおい"));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(data_column::Text(doc, r, data_column::Memo1 + i), (*memos[i])[r]);
    EXPECT_EQ(data_column::Text(doc, r, data_column::RegistDate), "1997/05/03");
    // The previous update, not the last one: the last one is today's as soon as it is seen.
    EXPECT_EQ(data_column::Text(doc, r, data_column::PrevUpdateDate), "1998/01/02");
    EXPECT_EQ(data_column::Text(doc, r, data_column::UpdateCount), "       3");
    EXPECT_TRUE(data_column::Text(doc, r, data_column::kCount).IsEmpty());
    EXPECT_TRUE(data_column::Text(doc, r, -1).IsEmpty());

    // The list's buffer holds 255 bytes and never half a character.
    char buffer[256];
    CVelkonView::CopyToBuffer(buffer, CString(std::string(254, 'x')) + Sjis("あ"));
    EXPECT_EQ(std::strlen(buffer), 254u);
    CVelkonView::CopyToBuffer(buffer, CString(std::string(300, 'y')));
    EXPECT_EQ(std::strlen(buffer), 255u);
}

TEST(RecordOrder, TextsSortByCharacterCodeWithHalfWidthKanaBeforeDoubleByte) {
    CVelkonDoc doc;
    for (const char* handle : {"亜", "ア", "ｱ", "あい", "zz", "あ"}) {
        const std::string id = "AAA0000" + std::to_string(doc.GetRecordCount());
        AddRecord(doc, id.c_str(), handle);
    }
    EXPECT_EQ(Sorted(doc, AllOf(doc), data_column::Handle, true),
              (std::vector<int>{4, 2, 5, 3, 1, 0}));
    EXPECT_EQ(Sorted(doc, AllOf(doc), data_column::Handle, false),
              (std::vector<int>{0, 1, 3, 5, 2, 4}));
    EXPECT_EQ(Sorted(doc, {3, 1, 5}, data_column::ID, false), (std::vector<int>{5, 3, 1}));
}

TEST(RecordOrder, CountsAndDatesSortByValueAndEqualValuesKeepTheirPlaces) {
    CVelkonDoc doc;
    for (const char* id : {"XYZ00001", "ABC12345", "MNO55555"}) AddRecord(doc, id);
    doc.m_anUpdateCount[0] = 100;
    doc.m_anUpdateCount[1] = 5;
    doc.m_anUpdateCount[2] = 12;
    // Only the day counts, not the time of day.
    doc.m_atimeRegist[0] = Day(1998, 1, 2, 23);
    doc.m_atimeRegist[1] = Day(1997, 5, 3);
    doc.m_atimeRegist[2] = Day(1998, 1, 2, 0);
    doc.m_atimePrevUpdate[0] = Day(1998, 3, 1);
    doc.m_atimePrevUpdate[1] = Day(1998, 3, 1);
    doc.m_atimePrevUpdate[2] = Day(1997, 12, 31);
    doc.m_atimeUpdate[2] = Day(2000, 1, 1);  // not the date the list shows

    EXPECT_EQ(Sorted(doc, {0, 1, 2}, data_column::UpdateCount, true), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(Sorted(doc, {0, 1, 2}, data_column::UpdateCount, false), (std::vector<int>{0, 2, 1}));

    const RecordOrder byRegist =
        OrderRecords(doc, std::vector<int>{0, 1, 2}, data_column::RegistDate, false);
    EXPECT_EQ(byRegist.Compare(0, 2), 0);
    EXPECT_EQ(Sorted(doc, {0, 1, 2}, data_column::RegistDate, true), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(Sorted(doc, {2, 1, 0}, data_column::RegistDate, true), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(Sorted(doc, {0, 2, 1}, data_column::RegistDate, false), (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(Sorted(doc, {0, 1, 2}, data_column::PrevUpdateDate, true),
              (std::vector<int>{2, 0, 1}));
}

TEST(RecordOrder, TextsCompareOnlyAsFarAsTheListShowsThem) {
    CVelkonDoc doc;
    for (const char* id : {"AAA00001", "AAA00002", "AAA00003", "AAA00004"}) AddRecord(doc, id);
    const std::string shown(255, 'm');
    doc.m_astrMemo1[0] = CString(shown + "zzz");
    doc.m_astrMemo1[1] = CString(shown + "aaa");
    // A double-byte character that would end past byte 255 is not shown at all.
    doc.m_astrMemo1[2] = CString(shown.substr(0, 254)) + Sjis("あ");
    doc.m_astrMemo1[3] = CString(shown.substr(0, 253) + "n");
    EXPECT_EQ(Sorted(doc, {0, 1, 2, 3}, data_column::Memo1, true), (std::vector<int>{2, 0, 1, 3}));
    EXPECT_EQ(Sorted(doc, {3, 2, 1, 0}, data_column::Memo1, true), (std::vector<int>{2, 1, 0, 3}));
}

TEST(RecordOrder, AColumnThatDoesNotExistLeavesTheOrderAlone) {
    CVelkonDoc doc;
    for (const char* id : {"CCC00001", "BBB00001", "AAA00001"}) AddRecord(doc, id);
    for (int column : {-1, data_column::kCount, 255}) {
        EXPECT_EQ(Sorted(doc, {0, 2, 1}, column, true), (std::vector<int>{0, 2, 1})) << column;
        EXPECT_EQ(Sorted(doc, {0, 2, 1}, column, false), (std::vector<int>{0, 2, 1})) << column;
    }
    // Records left out of the ranking, or not in the document, are lower than every ranked one
    // and equal to each other.
    for (bool forward : {true, false}) {
        const RecordOrder order =
            OrderRecords(doc, std::vector<int>{0, 1}, data_column::ID, forward);
        EXPECT_EQ(order.Compare(2, 0) < 0, forward);
        EXPECT_EQ(order.Compare(2, 99), 0);
        EXPECT_EQ(order.Compare(-1, 2), 0);
        EXPECT_EQ(order.Compare(1, 0) < 0, forward);  // BBB before CCC
    }
}

// Texts of every kind that the quick comparison of the texts' starts must agree with the
// character comparison on: empty, equal prefixes, 16 and 17 bytes, half-width kana, double-byte,
// zero bytes, lead bytes alone or before 0x80, single bytes from 0x80 up; and the places the
// list's rows go to agree with a stable sort by that comparison.
TEST(RecordOrder, RanksAgreeWithComparingTheShownTexts) {
    const std::vector<std::string> pieces = {"",
                                             "a",
                                             "A",
                                             "b",
                                             "~",
                                             " ",
                                             "0",
                                             "abcdefgh",
                                             "abcdefghijklmnop",
                                             "q",
                                             Sjis("ｱ").Str(),
                                             Sjis("あ").Str(),
                                             Sjis("亜").Str(),
                                             Sjis("ア").Str(),
                                             "\x7f",
                                             std::string(1, '\0'),
                                             "\x82",
                                             "\x82\x80",
                                             "\x80",
                                             "\xfd",
                                             Sjis("あいうえおかきく").Str()};
    std::mt19937 random(1998);
    CVelkonDoc doc;
    std::vector<std::string> shown;
    for (int r = 0; r < 400; ++r) {
        std::string text;
        const int parts = static_cast<int>(random() % 5);
        for (int p = 0; p < parts; ++p) text += pieces[random() % pieces.size()];
        const std::string id = "AAA" + std::to_string(10000 + r);
        AddRecord(doc, id.c_str());
        doc.m_astrHandle[r] = CString(text);
        shown.push_back(text);
    }
    const std::vector<int> rows = AllOf(doc);
    for (bool forward : {true, false}) {
        const RecordOrder order = OrderRecords(doc, rows, data_column::Handle, forward);
        for (std::size_t a = 0; a < rows.size(); ++a)
            for (std::size_t b = 0; b < rows.size(); ++b) {
                const int expected = Sign(mbcs::Compare(shown[a], shown[b])) * (forward ? 1 : -1);
                ASSERT_EQ(Sign(order.Compare(rows[a], rows[b])), expected)
                    << '"' << shown[a] << "\" vs \"" << shown[b] << '"';
            }
        std::vector<int> mixed = rows;
        std::shuffle(mixed.begin(), mixed.end(), random);
        std::vector<int> placed;
        for (int place : SortedPlaces(doc, mixed, data_column::Handle, forward))
            placed.push_back(mixed[static_cast<std::size_t>(place)]);
        EXPECT_EQ(placed, Sorted(doc, mixed, data_column::Handle, forward));
    }
}
