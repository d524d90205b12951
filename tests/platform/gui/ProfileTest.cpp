#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/gui/application/CWinApp.h"
#include "res/resource.h"
#include "tests/platform/PlatformTestUtil.h"
#include "tests/support/TestSupport.h"

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::WriteFile;

// Each test names its own application, so that no test sees another's settings.
namespace {
std::string ConfigHome() {
    return std::getenv("XDG_CONFIG_HOME");
}
}  // namespace

TEST(Profile, LivesInTheCompanyFolderOfTheConfigHome) {
    CWinApp app;  // named by the string table
    EXPECT_EQ(app.m_strAppName, "Velkon95");
    EXPECT_EQ(AfxGetApp(), &app);
    app.SetRegistryKey(IDS_COMPANY_NAME);
    const std::string path = ConfigHome() + "/Brambl Free Software/Velkon95.ini";
    EXPECT_EQ(app.GetProfile().Path(), path);
    app.WriteProfileInt("Save", "Backup", 1);
    ASSERT_TRUE(app.FlushProfile());
    EXPECT_TRUE(FileExists(path));

    EXPECT_EQ(CProfile::DefaultPath(Sjis("ソ表社"), "App"), ConfigHome() + "/ソ表社/App.ini");
}

TEST(Profile, ValuesSurviveANewApplicationObject) {
    // Quotes, separators, comment marks, outer spaces and a leading '@' mean something in the file.
    const CString tricky = Sjis(R"(  @日本語 ソ表\, "quoted"; a=b #c  )");
    {
        CWinApp app("RoundTrip");
        app.WriteProfileInt("Save", "Backup", 0);
        app.WriteProfileInt("Save", "Negative", -5);
        app.WriteProfileString("NoPickup", "ID0", tricky);
        app.WriteProfileString("NoPickup", "Empty", "");
        app.WriteProfileString(Sjis("設定"), Sjis("名前"), Sjis("値"));
        ASSERT_TRUE(app.FlushProfile());
        EXPECT_NE(ReadFile(app.GetProfile().Path()).find("日本語 ソ表"), std::string::npos)
            << "the file holds UTF-8";
    }
    CWinApp app("RoundTrip");
    EXPECT_EQ(app.GetProfileInt("Save", "Backup", 1), 0u);
    EXPECT_EQ(static_cast<int>(app.GetProfileInt("Save", "Negative", 0)), -5);
    EXPECT_EQ(app.GetProfileString("NoPickup", "ID0"), tricky);
    EXPECT_EQ(app.GetProfileString("NoPickup", "Empty", "default"), "");  // empty is not missing
    EXPECT_EQ(app.GetProfileString(Sjis("設定"), Sjis("名前")), Sjis("値"));
}

TEST(Profile, MissingOrUnreadableValuesGiveTheDefault) {
    std::filesystem::create_directories(ConfigHome());
    WriteFile(CProfile::DefaultPath("", "HandEdited"),
              "[Save]\nBackup=yes\nCount= 12 \nBig=4294967295\nText=plain\n");
    CWinApp reread("HandEdited");
    EXPECT_EQ(reread.GetProfileInt("Save", "Backup", 7), 7u);
    EXPECT_EQ(reread.GetProfileInt("Other", "Count", 7), 7u);
    EXPECT_EQ(reread.GetProfileInt("Save", "Count", 7), 12u);
    EXPECT_EQ(reread.GetProfileInt("Save", "Big", 7), 0xFFFFFFFFu);
    EXPECT_EQ(reread.GetProfileString("Save", "Text"), "plain");
    EXPECT_EQ(reread.GetProfileString("Save", "Missing", "dflt"), "dflt");
}

TEST(Profile, NullValueDeletesAKeyAndNullEntryTheSection) {
    {
        CWinApp app("Deleting");
        app.WriteProfileString("NoPickup", "ID0", "a");
        app.WriteProfileString("NoPickup", "ID1", "b");
        app.WriteProfileString("Save", "Backup", "1");
        app.WriteProfileString("NoPickup", "ID0", nullptr);
    }
    CWinApp app("Deleting");
    EXPECT_EQ(app.GetProfileString("NoPickup", "ID0", "gone"), "gone");
    EXPECT_EQ(app.GetProfileString("NoPickup", "ID1"), "b");
    app.WriteProfileString("NoPickup", nullptr, nullptr);
    EXPECT_EQ(app.GetProfileString("NoPickup", "ID1", "gone"), "gone");
    EXPECT_EQ(app.GetProfileString("Save", "Backup"), "1");
}

TEST(Profile, FlushReportsASettingsFileThatCannotBeWritten) {
    std::filesystem::create_directories(ConfigHome());
    WriteFile(ConfigHome() + "/Blocked", "a file where the company folder should be");
    CWinApp app("App");
    app.SetRegistryKey("Blocked");
    app.WriteProfileInt("Save", "Backup", 1);
    EXPECT_FALSE(app.FlushProfile());
}
