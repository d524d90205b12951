#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/base/LineEnds.h"
#include "platform/base/Mbcs.h"

TEST(CodePage, RoundTripsJapaneseText) {
    const std::string utf8 = "日本語ﾃｷｽﾄ、ソ表\\~ABC";
    const std::string cp932 = Utf8ToCp932(utf8);
    // ﾃｷｽﾄ takes one byte a character.
    EXPECT_EQ(cp932.substr(0, 10), "\x93\xfa\x96\x7b\x8c\xea\xc3\xb7\xbd\xc4");
    EXPECT_EQ(cp932.substr(cp932.size() - 5), "\\~ABC");  // not yen sign and overline
    EXPECT_EQ(Cp932ToUtf8(cp932), utf8);
    EXPECT_EQ(Cp932ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));

    // Much longer output than input (one byte to three) must not be cut.
    std::string kana;
    for (int i = 0; i < 100000; ++i) kana += "ｱ";
    EXPECT_EQ(Utf8ToCp932(kana), std::string(100000, '\xb1'));
    EXPECT_EQ(Cp932ToUtf8(std::string(100000, '\xb1')), kana);
}

TEST(CodePage, MapsTheCharactersOnlyCp932Has) {
    struct Pair {
        const char* cp932;
        const char* utf8;
    };
    const Pair pairs[] = {
        {"\x81\x60", "\xef\xbd\x9e"},  // ～ U+FF5E, not the wave dash
        {"\x81\x5f", "＼"},            // U+FF3C
        {"\x81\x7c", "－"},            // U+FF0D
        {"\x87\x40", "①"},             // NEC special characters
        {"\x87\x54", "Ⅰ"},
        {"\x87\x8a", "㈱"},
        {"\xfa\x5c", "纊"},  // IBM extension
    };
    for (const Pair& p : pairs) {
        EXPECT_EQ(Cp932ToUtf8(p.cp932), p.utf8);
        EXPECT_EQ(Utf8ToCp932(p.utf8), p.cp932) << p.utf8;
    }
    // Text from elsewhere spells the wave dash U+301C; it must not turn into "?".
    EXPECT_EQ(Utf8ToCp932("\xe3\x80\x9c"), "\x81\x60");
}

TEST(CodePage, UnconvertibleCharactersBecomeOneQuestionMarkEach) {
    EXPECT_EQ(Utf8ToCp932("a😀b"), "a?b");
    EXPECT_EQ(Utf8ToCp932("\xe3\x81"), "?");  // cut short at the end
    EXPECT_EQ(Utf8ToCp932("A"), "A");         // and nothing of it is left over for the next call
    EXPECT_EQ(Utf8ToCp932("\xe3\x81"
                          "A"),
              "?A");
    EXPECT_EQ(Utf8ToCp932("\x80"
                          "A"),
              "?A");

    EXPECT_EQ(Cp932ToUtf8("\x82\xa0\x82"), "あ?");  // lone lead byte at the end
    EXPECT_EQ(Cp932ToUtf8("\x82 A"), "? A");        // a space cannot be a trail byte
    EXPECT_EQ(Cp932ToUtf8("\x85\x40"
                          "A"),
              "?A");  // unassigned code
    EXPECT_EQ(Cp932ToUtf8("\xfd"
                          "A"),
              "?A");
}

// The converter and mbcs must agree on which bytes start a double-byte character, or searches
// and cuts would split characters that the screen shows whole.
TEST(CodePage, AgreesWithMbcsOnLeadBytes) {
    for (int b = 0; b < 256; ++b) {
        const char pair[] = {static_cast<char>(b), '@'};
        const std::string utf8 = Cp932ToUtf8(std::string_view(pair, 2));
        const bool oneCharacter = utf8.empty() || utf8.back() != '@';
        EXPECT_EQ(oneCharacter, mbcs::IsLeadByte(static_cast<unsigned char>(b))) << "byte " << b;
    }
}

// The clipboard's one pass gives what the conversions give one after the other: CP932, zero
// bytes dropped, a CR before each lone LF. Characters of every UTF-8 length, bytes the converter
// refuses, zero bytes inside and beside characters, a character cut by a line's end and by the
// text's, lines long and short, far past one of the converter's windows.
TEST(CodePage, Utf8ToCp932CrLfAgreesWithTheConversionsOneAfterAnother) {
    const auto twoPasses = [](const std::string& utf8) {
        std::string cp932 = Utf8ToCp932(utf8);
        std::erase(cp932, '\0');
        return CrLfFromLf(cp932);
    };
    std::string text;
    for (int i = 0; text.size() < 100000; ++i) {
        text += "ABC12345 青い空 ｶﾅ αβ é \xF0\x9F\x98\x80 \xFF\xC3";
        text += static_cast<char>('a' + i % 26);
        text += i % 3 == 0 ? "\r\n" : "\n";
        if (i % 7 == 0) text += std::string("x\0\xE9\x9D\n\xE9\0\x9D\x92\r\0\n", 12);
        if (i % 50 == 0) text += std::string(20000, 'z');
    }
    text += "\xE9\x9D";
    EXPECT_EQ(Utf8ToCp932CrLf(text), twoPasses(text));

    // Every character of the plane, each on a line of its own and all in a row, and a few past
    // it: what the lookup gives is what the C library gives.
    std::string plane;
    for (char32_t cp = 0x80; cp <= 0x10FFFF; cp += cp < 0x10000 ? 1 : 0x3FFF) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        std::string utf8;
        if (cp < 0x800) {
            utf8 = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
        } else if (cp < 0x10000) {
            utf8 = {static_cast<char>(0xE0 | (cp >> 12)),
                    static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (cp & 0x3F))};
        } else {
            utf8 = {static_cast<char>(0xF0 | (cp >> 18)),
                    static_cast<char>(0x80 | ((cp >> 12) & 0x3F)),
                    static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (cp & 0x3F))};
        }
        plane += utf8 + "\n" + utf8;
    }
    EXPECT_EQ(Utf8ToCp932CrLf(plane), twoPasses(plane));

    // Whatever bytes come: the same, and never more than room for them with their CRs.
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(random() % (round < 20 ? 20000 : 300), '\0');
        for (char& b : bytes)
            b = static_cast<char>("\n\r\0a\x80\xC3\xE3\xF0\xBF\xFF"[random() % 10]);
        if (round % 2) bytes += "\xE3\x81\x82\n";
        const std::string once = Utf8ToCp932CrLf(bytes);
        EXPECT_EQ(once, twoPasses(bytes)) << round;
        EXPECT_LE(once.size(), 2 * bytes.size()) << round;
    }
}

// A text converted as it arrives, cut anywhere (inside a character, between a CR and its LF,
// beside a zero byte), gives the whole text's conversion: lines short and long, a line past the
// length that is converted before its end, bytes the converter refuses, no line end at the end.
TEST(CodePage, PiecesConvertedAsTheyComeGiveTheWholeText) {
    std::string text;
    for (int i = 0; text.size() < 200000; ++i) {
        text += "ABC12345 青い空 ｶﾅ \xF0\x9F\x98\x80 \xFF\xC3";
        text += i % 3 == 0 ? "\r\n" : "\n";
        if (i % 7 == 0) text += std::string("x\r\0\n\xE9\0\x9D\x92\r", 9);
    }
    std::string longLine;
    while (longLine.size() < Utf8LinesToCp932::kLongLine + 200000)
        longLine += std::string("青い空\r\xE9\x9D\0x", 13) + std::string(1000, 'z') + "\r";
    text += longLine + "\n" + longLine;

    std::mt19937 random(11);
    for (const std::size_t most :
         {std::size_t{1}, std::size_t{7}, std::size_t{4096}, std::size_t{1} << 20}) {
        Utf8LinesToCp932 lines;
        std::string pieces;
        std::size_t longestWait = 0;
        for (std::size_t pos = 0; pos < text.size();) {
            const std::size_t n = std::min(text.size() - pos, 1 + random() % most);
            pieces += lines.Feed(std::string_view(text).substr(pos, n));
            longestWait = std::max(longestWait, lines.Waiting());
            pos += n;
        }
        pieces += lines.Finish();
        EXPECT_EQ(pieces, Utf8ToCp932CrLf(text)) << "pieces of up to " << most;
        EXPECT_LT(longestWait, 2 * Utf8LinesToCp932::kLongLine + most) << most;
    }
}
