// The About box with and without version information in the program's file.
#include <QtCore/qnamespace.h>
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "app/AboutDlg.h"
#include "platform/base/VersionInfoSeam.h"
#include "platform/gui/window/UiHooks.h"
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

namespace {
// Rows of the label's picture that hold ink: top and bottom of each run of them, and the
// leftmost and rightmost ink column.
struct Ink {
    std::vector<std::pair<int, int>> lines;
    int left = -1, right = -1;
};
Ink InkOf(QWidget* label) {
    const QImage image = label->grab().toImage();
    const QRgb back = image.pixel(0, 0);
    Ink ink;
    bool inLine = false;
    for (int y = 0; y < image.height(); ++y) {
        bool any = false;
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == back) continue;
            any = true;
            if (ink.left < 0 || x < ink.left) ink.left = x;
            ink.right = std::max(ink.right, x);
        }
        if (any && !inLine) ink.lines.push_back({y, y});
        if (any) ink.lines.back().second = y;
        inLine = any;
    }
    return ink;
}
}  // namespace

// Every line of the box whole: the copyright line on its one line with room on both sides,
// the notice's two lines each in full height.
TEST_F(AboutBoxTest, EveryLineIsShownWhole) {
    AfxSetVersionReader([](LPCTSTR, AFX_VERSION_INFO* info) {
        info->bProductName = TRUE;
        info->strProductName = "Velkon for Windows95";
        info->bLegalCopyright = TRUE;
        info->strLegalCopyright = "Copyright (C) 1996-1997 Brambl Free Software";
        return TRUE;
    });
    CAboutDlg about;
    DialogScript script;
    script.Then([](CDialog* d) {
        for (int id : {IDC_PRODUCT_NAME, IDC_COPYRIGHT}) {
            QWidget* label = d->GetDlgItem(id)->GetWidget();
            const Ink ink = InkOf(label);
            ASSERT_EQ(ink.lines.size(), 1u) << id;
            const int lineHeight = label->fontMetrics().height();
            // One line of text, not the cut halves of two.
            EXPECT_LE(ink.lines[0].second - ink.lines[0].first + 1, lineHeight) << id;
            EXPECT_GE(label->height(), lineHeight) << id;
            EXPECT_GT(ink.left, 1) << id;
            EXPECT_LT(ink.right, label->width() - 2) << id;
        }
        // The notice: the static text without an id, two lines high.
        QLabel* notice = nullptr;
        for (QLabel* label : d->GetWidget()->findChildren<QLabel*>())
            if (label->text().contains(QString::fromUtf8("連絡先"))) notice = label;
        ASSERT_NE(notice, nullptr);
        const Ink ink = InkOf(notice);
        ASSERT_EQ(ink.lines.size(), 2u);
        EXPECT_GT(ink.lines[0].first, 0);
        EXPECT_LT(ink.lines[1].second, notice->height() - 1);
        EXPECT_GT(ink.left, 1);
        EXPECT_LT(ink.right, notice->width() - 2);
        PressKey(d, Qt::Key_Return);
    });
    EXPECT_EQ(about.DoModal(), IDOK);
}
