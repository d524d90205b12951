// COMPOUND_TEXT as older X programs offer it (a target of its own, and what TEXT often brings).
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <string>

#include "platform/base/CompoundText.h"

using compound_text::ToUtf8;
using namespace std::string_literals;

namespace {

// The reference: the whole text through the C library in one call.
std::string ByIconv(const char* charset, const std::string& bytes) {
    const iconv_t cd = iconv_open("UTF-8", charset);
    std::string out(bytes.size() * 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size(), outLeft = out.size();
    char* o = out.data();
    iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

TEST(CompoundText, DesignatedSetsBecomeUtf8) {
    EXPECT_EQ(ToUtf8("ABC12345 Blue\n\tx"), "ABC12345 Blue\n\tx");
    EXPECT_EQ(ToUtf8("caf\xE9"), "café");  // Latin-1 on the right at the start
    // JIS X 0208 on the right (EUC bytes) and on the left (JIS bytes), ASCII again after it.
    const std::string euc = "\xC0\xC4\xA4\xA4\xB6\xF5";  // 青い空
    EXPECT_EQ(ToUtf8("ABC12345 \x1B$)B" + euc), "ABC12345 青い空");
    EXPECT_EQ(ToUtf8("\x1B$(B@D$$6u\x1B(B ok"), "青い空 ok");
    EXPECT_EQ(ToUtf8("\x1B$B@D\x1B(B \x1B$)A\xC4\xE3"), "青 你");  // ESC $ B; GB 2312 on the right
    // Half-width katakana, Latin-9 and Greek on the right, a UTF-8 segment, a Big5 one.
    EXPECT_EQ(ToUtf8("\x1B)I\xB6\xC0\xB6\xC5"), "ｶﾀｶﾅ");
    EXPECT_EQ(ToUtf8("\x1B-b\xA4 \x1B-F\xE1"), "€ α");
    EXPECT_EQ(ToUtf8("a\x1B%G\xE2\x98\x83\x1B%@b"), "a☃b");
    EXPECT_EQ(ToUtf8("\x1B%/2\x80\x89"
                     "big5-0\x02\xA4\xA4"),
              "中");
    // A direction change leaves the text as it is.
    EXPECT_EQ(ToUtf8("a\x9B"
                     "1]b\x9B]"),
              "ab");
    // Zero bytes go, inside a UTF-8 segment too, and the text after them stays.
    EXPECT_EQ(ToUtf8("AB\0C12345 \x1B%GX\0Y\x1B%@Z"s), "ABC12345 XYZ");
    EXPECT_EQ(ToUtf8("\x1B%/2\x80\x8B"
                     "big5-0\x02\x01\0\xA4\xA4"s),
              "\x01中");  // found by the fuzzer: a NUL the extended segment's encoding passes
}

TEST(CompoundText, LongStretchesOfOneSetReadAsTheWholeSetWould) {
    // Latin-2 on the right between ASCII, far past one stretch's worth, and switched back and
    // forth with Latin-1 and JIS X 0208 on the left: each part reads as the C library reads it
    // alone, and nothing is lost where stretches meet.
    std::string latin2;
    for (int i = 0; latin2.size() < 200000; ++i)
        latin2 += std::string("ABC") + static_cast<char>(0xA1 + i % 95) + " \xB9\xE8\n";
    EXPECT_EQ(ToUtf8("\x1B-B" + latin2), ByIconv("ISO-8859-2", latin2));

    std::string mixed, expected;
    for (int i = 0; i < 3000; ++i) {
        mixed += "\x1B-A\xE9\x1B-B\xB9 \x1B$(B@D\x1B(B";
        expected += "é";
        expected += "š 青";
    }
    EXPECT_EQ(ToUtf8(mixed), expected);

    // JIS X 0208 row after row, in GL and in GR.
    std::string gl = "\x1B$(B", gr = "\x1B$)B", euc;
    for (int lead = 0x30; lead < 0x4F; ++lead)
        for (int trail = 0x21; trail < 0x7F; ++trail) {
            gl += {static_cast<char>(lead), static_cast<char>(trail)};
            euc += {static_cast<char>(lead | 0x80), static_cast<char>(trail | 0x80)};
        }
    gr += euc;
    EXPECT_EQ(ToUtf8(gl), ByIconv("EUC-JP", euc));
    EXPECT_EQ(ToUtf8(gr), ByIconv("EUC-JP", euc));

    // What it says it will not read again it does not: the clipboard gives those pages back
    // while it decodes. Wiping them changes nothing of the result.
    std::string all = "\x1B-B" + latin2 + mixed + gr + "\x1B%GX\x1B%@";
    const auto whole = ToUtf8(all);
    std::size_t wiped = 0;
    const auto wiping = ToUtf8(all, nullptr, [&](std::size_t decoded) {
        EXPECT_GE(decoded, wiped);
        EXPECT_LE(decoded, all.size());
        std::fill(all.begin() + static_cast<std::ptrdiff_t>(wiped),
                  all.begin() + static_cast<std::ptrdiff_t>(decoded), '\xFF');
        wiped = decoded;
    });
    EXPECT_GT(wiped, all.size() / 2);
    EXPECT_EQ(wiping, whole);
}

TEST(CompoundText, BrokenTextGivesQuestionMarksAndNeverReadsPastItsEnd) {
    EXPECT_EQ(ToUtf8("\x1B$)B\xC0"), "?");               // half a character
    EXPECT_EQ(ToUtf8("\x1B$)B\xC0\x41"), "?A");          // its halves on both sides
    EXPECT_EQ(ToUtf8("\x1B(Zab"), "??");                 // a set it does not know
    EXPECT_EQ(ToUtf8("\x1B%/1\xFF\xFFx"), "");           // a segment past the end
    EXPECT_EQ(ToUtf8("\x1B%/1\x80\x86nope\x02z"), "?");  // an encoding it lacks
    // A JIS X 0208 code no character has: one "?", and the next character stays whole.
    EXPECT_EQ(ToUtf8("\x1B$)B\xA9\xA1\xC0\xC4"), "?青");
    // A designation cut by the end of the text, or with a final byte no set has.
    for (const char* cut : {"\x1B", "\x1B$", "\x1B$(", "\x1B%", "\x1B%/", "\x1B%G\xE2",
                            "\x9B"
                            "1",
                            "x\x1B$)", "\x1B-\x7F\xE9", "\x1B$(\x01z"})
        EXPECT_NO_THROW(ToUtf8(cut)) << cut;
    EXPECT_EQ(ToUtf8("a\x1B"), "a");
    EXPECT_EQ(ToUtf8("\x1B-Z\xE9x"), "?x");  // an unknown 96-set on the right
}

TEST(CompoundText, AStopRequestEndsALongText) {
    const std::string text = "\x1B-B" + std::string(1 << 20, '\xB9');
    std::atomic<bool> stop{true};
    EXPECT_FALSE(ToUtf8(text, &stop).has_value());
    stop = false;
    const auto whole = ToUtf8(text, &stop);
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(whole->size(), 2u << 20);  // š is two bytes in UTF-8
    // A short text is done before anything looks at the request.
    stop = true;
    EXPECT_EQ(ToUtf8("short", &stop), "short");
}
