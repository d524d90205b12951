#include <gtest/gtest.h>

#include <string>

#include "platform/base/LineEnds.h"

TEST(LineEnds, InPlaceAgreesWithTheCopyAndStaysInItsRoom) {
    for (const std::string& text :
         {std::string(), std::string("\n"), std::string("a\nb\r\nc\rd\n\n"),
          std::string("\r\n\n\r"), std::string("no line end"), std::string(1000, '\n')}) {
        std::string inPlace = text;
        inPlace.reserve(text.size() * 2);
        const char* room = inPlace.data();
        CrLfFromLfInPlace(inPlace);
        EXPECT_EQ(inPlace, CrLfFromLf(text)) << text;
        EXPECT_EQ(inPlace.data(), room) << "moved out of the room it had";
    }
}
