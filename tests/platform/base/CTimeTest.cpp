#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "platform/base/CTime.h"
#include "tests/platform/PlatformTestUtil.h"

// The test programs run in JST (UTC+9, no daylight saving).

TEST(CTime, OutOfRangeFieldsRollOver) {
    const CTime feb30(2023, 2, 30, 10, 0, 0);
    EXPECT_EQ(feb30.Format("%Y/%m/%d %H:%M:%S"), "2023/03/02 10:00:00");
    EXPECT_EQ(feb30.GetYear(), 2023);
    EXPECT_EQ(feb30.GetMonth(), 3);
    EXPECT_EQ(feb30.GetDay(), 2);
    EXPECT_EQ(CTime(2024, 2, 30, 0, 0, 0).Format("%Y/%m/%d"), "2024/03/01");
    EXPECT_EQ(CTime(1999, 13, 1, 0, 0, 0).Format("%Y/%m/%d"), "2000/01/01");
}

TEST(CTime, SecondsAreSixtyFourBitBefore1970AndAfter2038) {
    EXPECT_EQ(CTime(2038, 1, 19, 12, 14, 8).GetTime(), INT64_C(2147483648));
    EXPECT_EQ(CTime(2100, 1, 1, 9, 0, 0).GetTime(), INT64_C(4102444800));
    EXPECT_EQ(CTime(INT64_C(4102444800)).Format("%Y/%m/%d %H:%M"), "2100/01/01 09:00");
    EXPECT_EQ(CTime(1960, 1, 1, 9, 0, 0).GetTime(), INT64_C(-315619200));
    EXPECT_EQ(CTime(INT64_C(-315619200)).Format("%Y/%m/%d %H:%M"), "1960/01/01 09:00");

    const CTime unshowable(std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(unshowable.Format("%Y"), "");
    EXPECT_EQ(unshowable.GetYear(), 0);
}
