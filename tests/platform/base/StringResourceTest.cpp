#include <gtest/gtest.h>

#include "platform/base/StringResource.h"
#include "res/resource.h"
#include "tests/platform/PlatformTestUtil.h"
#include "tests/support/TestFiles.h"

using testing_support::Sjis;

TEST(StringResource, LoadsTextInTheProgramCodePage) {
    // （更新）
    EXPECT_EQ(AfxLoadString(IDS_TITLE_MODIFIED).Str(), "\x81\x69\x8d\x58\x90\x56\x81\x6a");
    CString s;
    EXPECT_TRUE(s.LoadString(IDS_TITLE_MODIFIED));
    EXPECT_EQ(s, Sjis("（更新）"));

    constexpr UINT kUnknown = 1;
    EXPECT_EQ(AfxFindString(kUnknown), nullptr);
    EXPECT_TRUE(AfxLoadString(kUnknown).IsEmpty());
    EXPECT_FALSE(s.LoadString(kUnknown));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(StringResource, FormatString1ReplacesThePlaceholder) {
    CString s;
    AfxFormatString1(s, IDS_ASK_SAVE, Sjis("ソ表.lst"));
    EXPECT_EQ(s, Sjis("ソ表.lst は更新されています。\n保存しますか？"));
    AfxFormatString1(s, AFX_IDP_ASK_TO_SAVE, "%1%1");  // the argument is not searched again
    EXPECT_EQ(s, Sjis("%1%1 への変更を保存しますか?"));
    AfxFormatString1(s, AFX_IDP_ASK_TO_SAVE, nullptr);
    EXPECT_EQ(s, Sjis(" への変更を保存しますか?"));
    AfxFormatString1(s, 1, "x");
    EXPECT_TRUE(s.IsEmpty());
}
