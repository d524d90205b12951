#include <gtest/gtest.h>

#include <string>

#include "platform/base/CodePage.h"
#include "platform/base/LineEnds.h"

// Line ends as the clipboard's text gets them in its one pass, beside the conversion of the
// line ends alone; a zero byte between a CR and its LF leaves them a pair.
TEST(LineEnds, TheOnePassConversionEndsLinesAsCrLfFromLfDoes) {
    for (const std::string& text :
         {std::string(), std::string("\n"), std::string("a\nb\r\nc\rd\n\n"),
          std::string("\r\n\n\r"), std::string("no line end"), std::string(1000, '\n'),
          std::string("\n\r\r\n\r")}) {
        EXPECT_EQ(Utf8ToCp932CrLf(text), CrLfFromLf(text)) << text;
    }
    using namespace std::string_literals;
    EXPECT_EQ(Utf8ToCp932CrLf("a\r\0\nb\0\n\0"s), "a\r\nb\r\n");
    EXPECT_EQ(Utf8ToCp932CrLf("\0\n"s), "\r\n");
    EXPECT_EQ(CrLfFromLf("\nx", true), "\nx");
    EXPECT_EQ(LfFromCrLf("a\r\nb\rc\r"), "a\nb\rc\r");
}
