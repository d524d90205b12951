#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/base/CString.h"
#include "tests/platform/PlatformTestUtil.h"
#include "tests/support/TestFiles.h"

using testing_support::Sjis;

TEST(Mbcs, CompareOrdersByCharacterCode) {
    const std::vector<CString> ascending = {
        "",        "AB",       "ABC",       CString("a\0b", 3), CString("a\0c", 3),
        "\x82",     // a lone lead byte at the end is a code of its own
        Sjis("ｱ"),  // 0xB1: before every double-byte character, though 0x82 < 0xB1 as bytes
        Sjis("ﾝ"), Sjis("あ"), Sjis("あA"), Sjis("あｱ"),        Sjis("ソ"),         Sjis("ソA"),
    };
    for (std::size_t i = 0; i < ascending.size(); ++i) {
        for (std::size_t j = 0; j < ascending.size(); ++j) {
            const int c = ascending[i].Compare(ascending[j].View());
            EXPECT_EQ((c > 0) - (c < 0), (i > j) - (i < j)) << i << " <=> " << j;
        }
    }
    std::vector<CString> sorted(ascending.rbegin(), ascending.rend());
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, ascending);
}

TEST(Mbcs, FindNeverMatchesATrailByte) {
    // ソ = 83 5C and 表 = 95 5C end in a backslash, 　 = 81 40 in '@', ア = 83 41 in 'A'.
    const CString path = Sjis("ソフト\\表示");
    EXPECT_EQ(path.Find('\\'), 6);
    EXPECT_EQ(path.ReverseFind('\\'), 6);
    EXPECT_EQ(path.Find("\\"), 6);
    EXPECT_EQ(Sjis("ソ表").ReverseFind('\\'), -1);
    EXPECT_EQ(Sjis("表示").Find("\\\x8e"), -1);  // across two characters
    EXPECT_EQ(Sjis("　@").Find('@'), 2);
    EXPECT_EQ(Sjis("アA").Find('A'), 2);
    EXPECT_EQ(Sjis("aソ\\ソ\\").Find('\\', 1), 3);
    EXPECT_EQ(Sjis("ソ表ソ").Find(Sjis("ソ").View(), 2), 4);
    EXPECT_EQ(CString("abc").Find("c", 10), -1);
}

TEST(Mbcs, CaseChangesLettersButNeverTrailBytes) {
    // Ｂ = 82 61 and ッ = 83 62 have trail bytes 'a' and 'b'; ア = 83 41 has 'A'.
    CString s = Sjis("@az[`{ａｚＡＺＢッア表ｶ") + "\x82";
    s.MakeUpper();
    EXPECT_EQ(s, Sjis("@AZ[`{ＡＺＡＺＢッア表ｶ") + "\x82");
    s.MakeLower();
    EXPECT_EQ(s, Sjis("@az[`{ａｚａｚｂッア表ｶ") + "\x82");

    // The pairs the system's mapping makes, checked against Unicode's own case.
    const std::string lower = "αβωабвёжнопяⅰⅹ";
    const std::string upper = "ΑΒΩАБВЁЖНОПЯⅠⅩ";
    CString up = Sjis(lower.c_str());
    up.MakeUpper();
    EXPECT_EQ(Cp932ToUtf8(up.View()), upper);
    CString down = Sjis(upper.c_str());
    down.MakeLower();
    EXPECT_EQ(Cp932ToUtf8(down.View()), lower);
    // ⅰ where NEC placed IBM's characters, and the IBM codes of Ⅰ and Ⅹ: the same characters.
    CString roman("\xEE\xEF\xEE\xF8\xFA\x4A\xFA\x53");
    roman.MakeUpper();
    EXPECT_EQ(Cp932ToUtf8(roman.View()), "ⅠⅩⅠⅩ");
    EXPECT_EQ(roman, Sjis("ⅠⅩⅠⅩ"));
}

TEST(CString, CutsClampTheirCounts) {
    const CString s("abcdef");
    EXPECT_EQ(s.Left(-1) + "|" + s.Left(3) + "|" + s.Left(99), "|abc|abcdef");
    EXPECT_EQ(s.Mid(-2) + "|" + s.Mid(-2, 3) + "|" + s.Mid(4) + "|" + s.Mid(6) + "|" + s.Mid(99, 1),
              "abcdef|abc|ef||");
    EXPECT_EQ(s.Mid(2, 2) + "|" + s.Mid(4, 99) + "|" + s.Mid(1, -1), "cd|ef|");
    EXPECT_EQ(s.Right(-1) + "|" + s.Right(2) + "|" + s.Right(99), "|ef|abcdef");
}

TEST(CString, TrimFormatAndZeroBytes) {
    CString s = CString(" \t\r\n\v\f") + Sjis("　あ　") + " \n";
    s.TrimLeft();
    EXPECT_EQ(s, Sjis("　あ　") + " \n");  // the full-width space is no white space here
    s.TrimRight();
    EXPECT_EQ(s, Sjis("　あ　"));

    s.Format(Sjis("登録：%d件 %s").GetString(), -3, Sjis("ソ").GetString());
    EXPECT_EQ(s, Sjis("登録：-3件 ソ"));
    const std::string longText(5000, 'x');
    s.Format("%s|%d", longText.c_str(), 7);
    EXPECT_EQ(s.Str(), longText + "|7");

    CString z("a\0b", 3);
    z += CString("\0c", 2);
    EXPECT_EQ(z.Str(), std::string("a\0b\0c", 5));
    EXPECT_NE(z, CString("a"));
    EXPECT_EQ(z.Find('c'), 4);
    EXPECT_EQ(z.Find(std::string_view("\0c", 2)), 3);
}
