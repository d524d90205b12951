// The date and keyword filters' tests of a record, on a document in memory.
#include <gtest/gtest.h>

#include "listview/RecordFilters.h"
#include "tests/listview/MemoryDoc.h"

using listview_test::AddRecord;
using listview_test::Day;
using testing_support::Sjis;

TEST(DateFilter, EachCheckedDateMustPassAndEveryMethodIncludesTheDay) {
    CVelkonDoc doc;
    const int r = AddRecord(doc, "ABC12345");
    doc.m_atimeRegist[r] = Day(1997, 5, 3, 23);
    doc.m_atimePrevUpdate[r] = Day(1998, 1, 2, 0);
    doc.m_atimeUpdate[r] = Day(2005, 6, 7);  // not the date the list shows: never tested

    struct Case {
        const char* date;
        int method;
        bool regist, prevUpdate, passes;
    };
    const Case cases[] = {
        {"1997/05/03", DateFilter::OnTheDay, true, false, true},
        {"1998/01/02", DateFilter::OnTheDay, false, true, true},
        {"1997/05/03", DateFilter::OnTheDay, true, true, false},  // both must fall on the day
        {"1997/05/03", DateFilter::OnOrAfter, true, true, true},
        {"1997/05/04", DateFilter::OnOrAfter, true, false, false},
        {"1998/01/01", DateFilter::OnOrBefore, true, true, false},
        {"1998/01/02", DateFilter::OnOrBefore, true, true, true},
        {"1997/05/02", DateFilter::OnOrBefore, true, false, false},
        {"2005/06/07", DateFilter::OnTheDay, false, true, false},
        {"2000/01/01", 7, true, true, true},  // a method of no meaning lets everything through
        {"2000/01/01", DateFilter::OnOrAfter, false, false, true},  // nothing to test
    };
    for (const Case& c : cases) {
        DateFilter filter;
        filter.date = c.date;
        filter.method = c.method;
        filter.registDate = c.regist;
        filter.prevUpdateDate = c.prevUpdate;
        EXPECT_EQ(IsDateMatch(doc, r, filter), c.passes)
            << c.date << " method " << c.method << " regist " << c.regist << " update "
            << c.prevUpdate;
    }
}

TEST(KeywordFilter, EachCheckedFieldIsSearchedAndNoOtherOne) {
    CVelkonDoc doc;
    const int r = AddRecord(doc, "ABC12345", "Blue");
    CTextColumn* memos[] = {&doc.m_astrMemo1, &doc.m_astrMemo2, &doc.m_astrMemo3,
                            &doc.m_astrMemo4, &doc.m_astrMemo5, &doc.m_astrMemo6};
    const char* texts[] = {"one", "two", "three", "four", "five", "six"};
    for (int i = 0; i < 6; ++i) (*memos[i])[r] = texts[i];

    const char* keywords[data_column::kFieldCount] = {"C12", "lu",   "one",  "two",
                                                      "hre", "four", "five", "six"};
    for (int field = 0; field < data_column::kFieldCount; ++field) {
        KeywordFilter filter;
        filter.matchCase = true;
        filter.keyword = keywords[field];
        EXPECT_FALSE(IsKeywordMatch(doc, r, filter)) << "no field checked";
        for (int checked = 0; checked < data_column::kFieldCount; ++checked) {
            filter.fields = {};
            filter.fields[static_cast<std::size_t>(checked)] = true;
            EXPECT_EQ(IsKeywordMatch(doc, r, filter), checked == field)
                << keywords[field] << " in field " << checked;
        }
        filter.fields.fill(true);  // any one field is enough
        EXPECT_TRUE(IsKeywordMatch(doc, r, filter)) << keywords[field];
    }
}

TEST(KeywordFilter, CaseIsIgnoredUnlessAskedForAndDoubleByteTextMatchesWholeCharacters) {
    CVelkonDoc doc;
    const int r = AddRecord(doc, "ABC12345", "あおい　そら");
    doc.m_astrMemo1[r] = "xABCy";
    doc.m_astrMemo2[r] = Sjis("ＡＢＣ");
    doc.m_astrMemo6[r] = Sjis("ｶﾅ");
    doc.m_astrMemo3[r] = Sjis("ア");  // 0x83 0x41: its second byte is "A"

    auto match = [&](const char* utf8, bool matchCase, int field) {
        KeywordFilter filter;
        filter.keyword = Sjis(utf8);
        filter.matchCase = matchCase;
        filter.fields[static_cast<std::size_t>(field)] = true;
        return IsKeywordMatch(doc, r, filter);
    };
    EXPECT_TRUE(match("abc", false, data_column::Memo1));
    EXPECT_FALSE(match("abc", true, data_column::Memo1));
    EXPECT_TRUE(match("ABC", true, data_column::Memo1));
    EXPECT_TRUE(match("abc123", false, data_column::ID));
    EXPECT_TRUE(match("ａｂｃ", false, data_column::Memo2));  // full-width letters have case too
    EXPECT_FALSE(match("ａｂｃ", true, data_column::Memo2));
    EXPECT_TRUE(match("い　そ", true, data_column::Handle));
    EXPECT_TRUE(match("ｶﾅ", false, data_column::Memo6));
    EXPECT_FALSE(match("a", false, data_column::Memo3));  // never inside a character
    EXPECT_FALSE(match("A", true, data_column::Memo3));

    // Every letter with a case in CP932: Greek, Cyrillic (Ё outside the run of the others),
    // Roman numerals (Ⅰ has one code, ⅰ two, and the IBM Ⅰ is the same character again).
    doc.m_astrMemo4[r] = Sjis("ΑΩ ЁЖЯ Ⅰ") + "\xFA\x4A";
    EXPECT_TRUE(match("αω", false, data_column::Memo4));
    EXPECT_TRUE(match("ёжя", false, data_column::Memo4));
    EXPECT_FALSE(match("ёжя", true, data_column::Memo4));
    EXPECT_TRUE(match("ⅰ", false, data_column::Memo4));
}
