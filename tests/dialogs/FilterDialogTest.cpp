// The date and keyword filter dialogs, worked by control id with the settings in a private
// profile.
#include <QtCore/qnamespace.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "dialogs/DateFilterDlg.h"
#include "dialogs/KeywordFilterDlg.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/window/UiHooks.h"
#include "res/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

constexpr const char* kKeywords = "Specify Keyword";

class FilterDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        afx_ui::EnsureApplication();
        app.emplace("Velkon95");
        app->SetRegistryKey("Brambl Free Software");
    }
    void TearDown() override { afx_ui::ProcessEvents(); }
    CString History(int i) {
        return app->GetProfileString(kKeywords, AfxProfileKey("History%d", i), "(none)");
    }
    void SetHistory(int i, const char* text) {
        app->WriteProfileString(kKeywords, AfxProfileKey("History%d", i), text);
    }
    static std::vector<std::string> Entries(CDialog* d) {
        std::vector<std::string> entries;
        const auto n = d->SendDlgItemMessage(IDC_KEYWORD, CB_GETCOUNT);
        for (int i = 0; i < n; ++i) {
            char buffer[256] = {};
            if (d->SendDlgItemMessage(IDC_KEYWORD, CB_GETLBTEXTLEN, i) < 256)
                d->SendDlgItemMessage(IDC_KEYWORD, CB_GETLBTEXT, i,
                                      reinterpret_cast<LPARAM>(buffer));
            entries.emplace_back(buffer);
        }
        return entries;
    }

    TempDir dir;
    std::optional<CWinApp> app;
    FakeClock clock{1'796'691'600};  // 2026/12/08 10:00 local
};

}  // namespace

TEST_F(FilterDialogTest, DateDialogFirstOpensWithTodayNoTargetAndOnOrBefore) {
    CSpecifyDateDlg date;
    DialogScript script;
    script.Then([](CDialog* d) {
        EXPECT_EQ(d->GetWindowText(), Sjis("日付を指定して表示"));
        EXPECT_EQ(Shown(d, IDC_YEAR), "2026");
        EXPECT_EQ(Shown(d, IDC_MONTH), "12");
        EXPECT_EQ(Shown(d, IDC_DAY), "8");
        EXPECT_EQ(d->IsDlgButtonChecked(IDC_TARGET_REGIST_DATE) +
                      d->IsDlgButtonChecked(IDC_TARGET_UPDATE_DATE),
                  0u);
        EXPECT_EQ(d->IsDlgButtonChecked(IDC_ON_OR_BEFORE), 1u);
        // The arrows keep to their ranges.
        ClickArrow(d, IDC_MONTH_SPIN, true);
        EXPECT_EQ(Shown(d, IDC_MONTH), "12");
        Retype(d, IDC_DAY, "31");
        ClickArrow(d, IDC_DAY_SPIN, true);
        EXPECT_EQ(Shown(d, IDC_DAY), "31");
        Click(d, IDCANCEL);
    });
    EXPECT_EQ(date.DoModal(), IDCANCEL);
    EXPECT_FALSE(date.m_bEnable);
    EXPECT_EQ(date.m_nDay, 8);  // cancelled edits never reach the members
}

TEST_F(FilterDialogTest, DateDialogRefusesNoTargetAndNonIntegersAndTakesOddNumbersAsTyped) {
    CSpecifyDateDlg date;
    MessageBoxAnswerer boxes(IDOK);
    DialogScript script;
    script.Then([&](CDialog* d) {
        Click(d, IDOK);
        ASSERT_EQ(boxes.Texts().size(), 1u);
        EXPECT_EQ(boxes.Texts()[0], "対象を指定してください。");
        EXPECT_TRUE(d->ContinueModal());

        Click(d, IDC_TARGET_UPDATE_DATE);
        Retype(d, IDC_DAY, "1O");
        Click(d, IDOK);
        ASSERT_EQ(boxes.Texts().size(), 2u);
        EXPECT_EQ(boxes.Texts()[1], "整数を入力してください。");
        EXPECT_TRUE(d->ContinueModal());
        EXPECT_EQ(FocusedId(d), IDC_DAY);

        Retype(d, IDC_YEAR, "99");
        Retype(d, IDC_MONTH, "13");
        Retype(d, IDC_DAY, "0");
        Click(d, IDC_ON_OR_AFTER);
        Click(d, IDOK);
    });
    ASSERT_EQ(date.DoModal(), IDOK);
    EXPECT_TRUE(date.m_bEnable);
    EXPECT_EQ(date.m_strDate, "0099/13/00");
    EXPECT_EQ(date.m_nMethod, 2);
    EXPECT_TRUE(date.m_bUpdateDate);
    EXPECT_FALSE(date.m_bRegistDate);
}

TEST_F(FilterDialogTest, ARefusedDateStaysInTheMembersWhenTheUserThenCancels) {
    CSpecifyDateDlg date;
    MessageBoxAnswerer boxes(IDOK);
    DialogScript script;
    script.Then([](CDialog* d) {
        Retype(d, IDC_YEAR, "2001");
        Click(d, IDOK);  // no target: refused after the exchange
        Click(d, IDCANCEL);
    });
    EXPECT_EQ(date.DoModal(), IDCANCEL);
    EXPECT_EQ(date.m_nYear, 2001);
    EXPECT_FALSE(date.m_bEnable);
    EXPECT_EQ(date.m_strDate, "2026/12/08");
}

TEST_F(FilterDialogTest, CurrentDateButtonFillsTheEditsOnly) {
    CSpecifyDateDlg date;
    date.m_nYear = 1999;
    date.m_nMonth = 3;
    date.m_nDay = 4;
    DialogScript script;
    script.Then([&](CDialog* d) {
        EXPECT_EQ(Shown(d, IDC_YEAR), "1999");  // the last settings, not today
        Click(d, IDC_CURRENT_DATE);
        EXPECT_EQ(Shown(d, IDC_YEAR), "2026");
        EXPECT_EQ(Shown(d, IDC_MONTH), "12");
        EXPECT_EQ(Shown(d, IDC_DAY), "8");
        EXPECT_EQ(FocusedId(d), IDC_YEAR);
        EXPECT_EQ(date.m_nYear, 1999);
        Click(d, IDC_TARGET_REGIST_DATE);
        PressKey(d, Qt::Key_Return);
    });
    ASSERT_EQ(date.DoModal(), IDOK);
    EXPECT_EQ(date.m_strDate, "2026/12/08");
}

TEST_F(FilterDialogTest, KeywordDialogFirstOpensEmptyWithTheCaptionsAsTargets) {
    char captions[11][256] = {"ID", "Nick", "Memo A"};
    for (int i = 3; i < 11; ++i) std::snprintf(captions[i], 256, "M%d", i);
    CSpecifyKeywordDlg keyword;
    keyword.m_pszCaption = captions;
    DialogScript script;
    script.Then([](CDialog* d) {
        EXPECT_EQ(d->GetWindowText(), Sjis("ｷｰﾜｰﾄﾞを指定して表示"));
        EXPECT_EQ(Shown(d, IDC_KEYWORD), "");
        EXPECT_TRUE(Entries(d).empty());
        for (int id : {IDC_TARGET_ID, IDC_TARGET_HANDLE, IDC_TARGET_MEMO1, IDC_TARGET_MEMO2,
                       IDC_TARGET_MEMO3, IDC_TARGET_MEMO4, IDC_TARGET_MEMO5, IDC_TARGET_MEMO6,
                       IDC_MATCH_CASE})
            EXPECT_EQ(d->IsDlgButtonChecked(id), 0u) << id;
        EXPECT_EQ(Shown(d, IDC_TARGET_ID), "ID");
        EXPECT_EQ(Shown(d, IDC_TARGET_HANDLE), "Nick");
        EXPECT_EQ(Shown(d, IDC_TARGET_MEMO1), "Memo A");
        EXPECT_EQ(Shown(d, IDC_TARGET_MEMO6), "M7");
        Click(d, IDOK);  // an empty keyword is a cancel
    });
    EXPECT_EQ(keyword.DoModal(), IDCANCEL);
    EXPECT_FALSE(keyword.m_bEnable);
    EXPECT_EQ(History(0), "(none)");
}

TEST_F(FilterDialogTest, KeywordDialogWantsATargetAndAlwaysOpensEmpty) {
    SetHistory(0, "blue");
    CSpecifyKeywordDlg keyword;
    keyword.m_strKeyword = "blue";
    MessageBoxAnswerer boxes(IDOK);
    DialogScript script;
    script.Then([&](CDialog* d) {
        EXPECT_EQ(Shown(d, IDC_KEYWORD), "");
        EXPECT_EQ(Entries(d), std::vector<std::string>{"blue"});
        TypeInto(d, IDC_KEYWORD, "red");
        Click(d, IDOK);
        ASSERT_EQ(boxes.Texts().size(), 1u);
        EXPECT_EQ(boxes.Texts()[0], "検索対象を指定してください。");
        EXPECT_TRUE(d->ContinueModal());
        Click(d, IDC_TARGET_MEMO2);
        Click(d, IDC_MATCH_CASE);
        Click(d, IDOK);
    });
    ASSERT_EQ(keyword.DoModal(), IDOK);
    EXPECT_TRUE(keyword.m_bEnable);
    EXPECT_EQ(keyword.m_strKeyword, "red");
    EXPECT_TRUE(keyword.m_bMemo2 && keyword.m_bCase);
    EXPECT_FALSE(keyword.m_bID || keyword.m_bMemo1);
    EXPECT_EQ(History(0), "red");
    EXPECT_EQ(History(1), "blue");
}

TEST_F(FilterDialogTest, HistoryKeepsTwentyLatestFirstAndReusedWordsStayPut) {
    for (int i = 0; i < 20; ++i) SetHistory(i, ("w" + std::to_string(i)).c_str());
    CSpecifyKeywordDlg keyword;
    keyword.m_bID = TRUE;
    DialogScript script;
    auto choose = [&](const char* word) {
        script.Then([word](CDialog* d) {
            TypeInto(d, IDC_KEYWORD, word);
            PressKey(d, Qt::Key_Return);  // from the keyword field
        });
        ASSERT_EQ(keyword.DoModal(), IDOK);
        keyword.m_bEnable = FALSE;
    };
    choose("new");
    EXPECT_EQ(History(0), "new");
    EXPECT_EQ(History(1), "w0");
    EXPECT_EQ(History(19), "w18");  // the oldest went
    EXPECT_EQ(History(20), "(none)");

    choose("w5");  // already there: neither moved nor doubled
    EXPECT_EQ(History(0), "new");
    EXPECT_EQ(History(6), "w5");
    choose("W5");  // another case is another keyword
    EXPECT_EQ(History(0), "W5");
    EXPECT_EQ(History(7), "w5");
    EXPECT_EQ(History(19), "w17");
}

TEST_F(FilterDialogTest, HistoryStopsAtAGapAndLeavesWhatLiesBeyondIt) {
    SetHistory(0, "a");
    SetHistory(1, "b");
    SetHistory(2, "c");
    SetHistory(4, "far");
    CSpecifyKeywordDlg keyword;
    DialogScript script;
    script.Then([](CDialog* d) {
        EXPECT_EQ(Entries(d), (std::vector<std::string>{"a", "b", "c"}));
        PressKey(d, Qt::Key_Escape);
    });
    EXPECT_EQ(keyword.DoModal(), IDCANCEL);
    EXPECT_EQ(History(0), "a");
    EXPECT_EQ(History(2), "c");
    EXPECT_EQ(History(3), "(none)");
    EXPECT_EQ(History(4), "far");
}
