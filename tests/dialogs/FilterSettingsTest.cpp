#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "dialogs/DateFilterDlg.h"
#include "dialogs/KeywordFilterDlg.h"
#include "platform/gui/application/CWinApp.h"
#include "tests/support/TestSupport.h"

namespace {

class FilterSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
        NewRun();
    }
    // Each run of the program has its own application object over the same settings file.
    void NewRun() {
        app.reset();
        app.emplace("Velkon95");
        app->SetRegistryKey("Brambl Free Software");
    }
    testing_support::TempDir dir;
    std::optional<CWinApp> app;
};

}  // namespace

TEST_F(FilterSettingsTest, FirstStartHasBothFiltersOffAndTodaysDate) {
    testing_support::FakeClock clock(1'796'691'600);  // 2026/12/08 10:00 local
    CSpecifyDateDlg date;
    CSpecifyKeywordDlg keyword;
    EXPECT_FALSE(date.m_bEnable);
    EXPECT_FALSE(date.m_bRegistDate || date.m_bUpdateDate);
    EXPECT_EQ(date.m_nMethod, 0);
    EXPECT_EQ(date.m_strDate, "2026/12/08");
    EXPECT_FALSE(keyword.m_bEnable);
    EXPECT_TRUE(keyword.m_strKeyword.IsEmpty());
    EXPECT_FALSE(keyword.m_bID || keyword.m_bHandle || keyword.m_bMemo6 || keyword.m_bCase);
}

TEST_F(FilterSettingsTest, SettingsComeBackAtTheNextStart) {
    {
        CSpecifyDateDlg date;
        date.m_nYear = 99;
        date.m_nMonth = 5;
        date.m_nDay = 3;
        date.m_bUpdateDate = TRUE;
        date.m_nMethod = 2;
        date.m_bEnable = TRUE;
        CSpecifyKeywordDlg keyword;
        keyword.m_bHandle = TRUE;
        keyword.m_bMemo4 = TRUE;
        keyword.m_bEnable = TRUE;
        keyword.m_strKeyword = "not written";
        app->WriteProfileString("Specify Keyword", "History0", "blue");
        app->WriteProfileString("Specify Keyword", "History1", "red");
    }
    NewRun();
    CSpecifyDateDlg date;
    EXPECT_EQ(date.m_strDate, "0099/05/03");
    EXPECT_TRUE(date.m_bUpdateDate);
    EXPECT_FALSE(date.m_bRegistDate);
    EXPECT_EQ(date.m_nMethod, 2);
    EXPECT_TRUE(date.m_bEnable);
    {
        CSpecifyKeywordDlg keyword;
        EXPECT_TRUE(keyword.m_bEnable);
        EXPECT_EQ(keyword.m_strKeyword, "blue");  // the top of the history
        EXPECT_TRUE(keyword.m_bHandle && keyword.m_bMemo4);
        EXPECT_FALSE(keyword.m_bMemo5);
        keyword.m_bEnable = FALSE;
    }
    // A filter that was off does not take its keyword from the history.
    CSpecifyKeywordDlg off;
    EXPECT_FALSE(off.m_bEnable);
    EXPECT_TRUE(off.m_strKeyword.IsEmpty());
}
