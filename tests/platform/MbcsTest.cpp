#include <gtest/gtest.h>

#include "platform/CString.h"
#include "platform/Mbcs.h"
#include "tests/support/TestSupport.h"

using testing_support::Sjis;

TEST(Mbcs, HalfWidthKatakanaSortsBeforeDoubleByteCharacters) {
    // ｱ (0xB1) is one code below any double-byte character such as あ (0x82A0).
    EXPECT_LT(mbcs::Compare(Sjis("ｱ").View(), Sjis("あ").View()), 0);
    EXPECT_LT(mbcs::Compare("AB", "ABC"), 0);
    EXPECT_EQ(mbcs::Compare("ABC", "ABC"), 0);
}
