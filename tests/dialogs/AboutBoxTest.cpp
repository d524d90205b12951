// The About box with and without version information in the program's file.
#include <QtCore/qnamespace.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/AboutDlg.h"
#include "platform/base/VersionInfoSeam.h"
#include "platform/gui/UiHooks.h"
#include "res/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        afx_ui::EnsureApplication();
    }
    void TearDown() override { AfxSetVersionReader(std::move(previous)); }
    AfxVersionReader previous = AfxSetVersionReader(nullptr);
};

}  // namespace

TEST_F(AboutBoxTest, ShowsNameVersionWithoutItsFourthPartAndCopyright) {
    AfxSetVersionReader([](LPCTSTR, AFX_VERSION_INFO* info) {
        info->bProductName = TRUE;
        info->strProductName = "Velkon for Windows95 & Co";
        info->bFixedInfo = TRUE;
        info->dwProductVersionMS = (3u << 16) | 4u;
        info->dwProductVersionLS = (13u << 16) | 7u;
        info->bLegalCopyright = TRUE;
        info->strLegalCopyright = "Copyright (C) Brambl Free Software";
        return TRUE;
    });
    CAboutDlg about;
    DialogScript script;
    script.Then([](CDialog* d) {
        EXPECT_EQ(d->GetWindowText(), Sjis("このVelkonについて"));
        EXPECT_EQ(Shown(d, IDC_PRODUCT_NAME),
                  "Velkon for Windows95 & Co");  // an & is shown as it is
        EXPECT_EQ(Shown(d, IDC_VERSION), "Version 3.4.13");
        EXPECT_EQ(Shown(d, IDC_COPYRIGHT), "Copyright (C) Brambl Free Software");
        PressKey(d, Qt::Key_Return);
    });
    EXPECT_EQ(about.DoModal(), IDOK);
}

TEST_F(AboutBoxTest, MissingPiecesStayQuestionMarksAndTheBoxStillCloses) {
    for (bool anyInfo : {false, true}) {
        SCOPED_TRACE(anyInfo ? "only a version" : "no version information");
        AfxSetVersionReader([anyInfo](LPCTSTR, AFX_VERSION_INFO* info) {
            info->bFixedInfo = anyInfo;
            info->dwProductVersionMS = (3u << 16) | 4u;
            return anyInfo ? TRUE : FALSE;
        });
        CAboutDlg about;
        DialogScript script;
        script.Then([anyInfo](CDialog* d) {
            EXPECT_EQ(Shown(d, IDC_PRODUCT_NAME), "?");
            EXPECT_EQ(Shown(d, IDC_VERSION), anyInfo ? "Version 3.4.0" : "?");
            EXPECT_EQ(Shown(d, IDC_COPYRIGHT), "?");
            Click(d, IDOK);
        });
        EXPECT_EQ(about.DoModal(), IDOK);
    }
}

// This test program carries the program's version resource, as the program does: the box
// reads it from the file itself.
TEST_F(AboutBoxTest, ReadsTheVersionResourceOfTheProgramFile) {
    AfxSetVersionReader(previous);  // the one the program has
    CAboutDlg about;
    DialogScript script;
    script.Then([](CDialog* d) {
        EXPECT_EQ(Shown(d, IDC_VERSION), "Version 3.4.13");
        EXPECT_NE(Shown(d, IDC_PRODUCT_NAME), "?");
        EXPECT_NE(Shown(d, IDC_COPYRIGHT), "?");
        Click(d, IDOK);
    });
    EXPECT_EQ(about.DoModal(), IDOK);
}
