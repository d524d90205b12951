// The view's filter and font commands with their dialogs, worked by control id.
#include <QtCore/qnamespace.h>
#include <gtest/gtest.h>

#include "platform/base/CommonDialogIds.h"
#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/window/CCmdUI.h"
#include "platform/gui/window/UiHooks.h"
#include "res/resource.h"
#include "tests/listview/ListViewFixture.h"
#include "tests/support/DialogDriver.h"

using listview_test::ListViewTest;
using namespace testing_support;

namespace {

int CheckOf(CFrameWnd* frame, UINT nID) {
    CCmdUI state;
    state.m_nID = nID;
    state.DoUpdate(frame, TRUE);
    return state.m_bEnabled ? state.m_nCheck : -1;
}

std::string ComboEntry(CDialog* d, int id, int row) {
    const auto length = d->SendDlgItemMessage(id, CB_GETLBTEXTLEN, static_cast<WPARAM>(row));
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    d->SendDlgItemMessage(id, CB_GETLBTEXT, static_cast<WPARAM>(row),
                          reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

}  // namespace

TEST_F(ListViewTest, DateFilterCommandSwitchesOffAtOnceAndReopensWithTheLastSettings) {
    Open(listview_test::kThree);
    DialogScript script;
    script.Then([](CDialog* d) {
        Retype(d, IDC_YEAR, "1998");
        Retype(d, IDC_MONTH, "1");
        Retype(d, IDC_DAY, "2");
        Click(d, IDC_TARGET_REGIST_DATE);
        Click(d, IDC_ON_THE_DAY);  // on the day
        Click(d, IDOK);
    });
    frame->RunCommand(ID_SPECIFY_DATE);
    EXPECT_EQ(Rows(), (std::vector<int>{2, 0}));  // registered on 1998/01/02, by ID
    EXPECT_EQ(CheckOf(frame, ID_SPECIFY_DATE), 1);

    frame->RunCommand(ID_SPECIFY_DATE);  // no dialog: the script has no step for one
    EXPECT_EQ(Rows().size(), 3u);
    EXPECT_EQ(CheckOf(frame, ID_SPECIFY_DATE), 0);

    script.Then([](CDialog* d) {
        EXPECT_EQ(Shown(d, IDC_YEAR), "1998");
        EXPECT_EQ(d->IsDlgButtonChecked(IDC_ON_THE_DAY), 1u);
        PressKey(d, Qt::Key_Escape);
    });
    frame->RunCommand(ID_SPECIFY_DATE);
    EXPECT_EQ(Rows().size(), 3u);
    EXPECT_EQ(CheckOf(frame, ID_SPECIFY_DATE), 0);
    EXPECT_EQ(script.Shown(), 2);
}

TEST_F(ListViewTest, KeywordFilterCommandNamesTheTargetsByTheColumnCaptions) {
    Open(listview_test::kThree);
    std::snprintf(view->m_szCaption[1], 256, "Nick");
    DialogScript script;
    script.Then([](CDialog* d) {
        EXPECT_EQ(Shown(d, IDC_TARGET_HANDLE), "Nick");
        TypeInto(d, IDC_KEYWORD, "blue");
        Click(d, IDC_TARGET_HANDLE);
        Click(d, IDOK);
    });
    frame->RunCommand(ID_SPECIFY_KEYWORD);
    EXPECT_EQ(Rows(), std::vector<int>{0});
    EXPECT_EQ(CheckOf(frame, ID_SPECIFY_KEYWORD), 1);
    frame->RunCommand(ID_SPECIFY_KEYWORD);
    EXPECT_EQ(Rows().size(), 3u);
    EXPECT_EQ(CheckOf(frame, ID_SPECIFY_KEYWORD), 0);
}

TEST_F(ListViewTest, FontChoiceHoldsForTheRunAndOnlyFaceAndSizeComeBack) {
    Open(listview_test::kThree);
    // A bold italic list font, as an earlier choice may have left it.
    LOGFONT bold;
    view->m_font.GetLogFont(&bold);
    bold.lfWeight = FW_BOLD;
    bold.lfItalic = 1;
    view->m_font.DeleteObject();
    view->m_font.CreateFontIndirect(&bold);
    view->GetListCtrl().SetFont(&view->m_font);

    std::string chosen;
    DialogScript script;
    script
        .Then([](CDialog* d) {
            EXPECT_EQ(d->GetWindowText(), Sjis("ﾌｫﾝﾄ"));
            EXPECT_FALSE(IsShown(d, cmb2));  // no style list
            EXPECT_FALSE(IsShown(d, stc5));  // no sample
            PressKey(d, Qt::Key_Escape);
        })
        .Then([&](CDialog* d) {
            ASSERT_GT(d->SendDlgItemMessage(cmb1, CB_GETCOUNT), 0);
            PickRow(d, cmb1, 0);
            chosen = ComboEntry(d, cmb1, 0);
            Retype(d, cmb3, "20");
            Click(d, IDOK);
        });
    frame->RunCommand(ID_FONT);  // cancelled: nothing changes
    EXPECT_TRUE(view->m_strFaceName.IsEmpty());
    frame->RunCommand(ID_FONT);

    LOGFONT now;
    view->GetListCtrl().GetFont()->GetLogFont(&now);
    EXPECT_EQ(std::string(now.lfFaceName), chosen);
    EXPECT_EQ(now.lfHeight, -27);  // 20 points at 96 dots per inch
    EXPECT_EQ(now.lfWeight, FW_BOLD);
    EXPECT_TRUE(now.lfItalic);
    EXPECT_EQ(view->m_strFaceName, chosen.c_str());
    EXPECT_EQ(view->m_nFontSize, -27);

    StopApp();
    StartApp();
    Reattach();
    view->GetListCtrl().GetFont()->GetLogFont(&now);
    EXPECT_EQ(std::string(now.lfFaceName), chosen);
    EXPECT_EQ(now.lfHeight, -27);
    EXPECT_NE(now.lfWeight, FW_BOLD);
    EXPECT_FALSE(now.lfItalic);
}

TEST_F(ListViewTest, FontDialogRefusesAFaceOutsideItsListAndASizeThatIsNoNumber) {
    MessageBoxAnswerer boxes(IDOK);
    DialogScript script;
    script.Then([](CDialog* d) {
        Retype(d, cmb1, "No Such Face 123");
        Click(d, IDOK);
        EXPECT_TRUE(d->ContinueModal());
        EXPECT_EQ(FocusedId(d), cmb1);
        PickRow(d, cmb1, 0);
        Retype(d, cmb3, "big");
        Click(d, IDOK);
        EXPECT_TRUE(d->ContinueModal());
        EXPECT_EQ(FocusedId(d), cmb3);
        Click(d, IDCANCEL);
    });
    frame->RunCommand(ID_FONT);
    ASSERT_EQ(boxes.Texts().size(), 2u);
    EXPECT_EQ(boxes.Texts()[1], "サイズは数字で指定してください。");
    EXPECT_TRUE(view->m_strFaceName.IsEmpty());
}

// The count panes keep counting every registered ID; a pane of its own says how many rows the
// filters leave, so that an ID registered while a filter hides it does not seem lost.
TEST_F(ListViewTest, TheStatusBarSaysHowManyRowsAFilterLeaves) {
    Open(listview_test::kThree);
    CStatusBar& bar = frame->m_wndStatusBar;
    // The panes follow the counts once the event loop wakes.
    const auto text = [&bar](int pane) {
        afx_ui::ProcessEvents();
        return Utf8(bar.GetPaneText(pane));
    };
    const auto width = [&bar](int pane) {
        afx_ui::ProcessEvents();
        UINT id = 0, style = 0;
        int cx = 0;
        bar.GetPaneInfo(pane, id, style, cx);
        return cx;
    };
    EXPECT_EQ(text(3), "");
    EXPECT_EQ(width(3), 0);

    doc->PickupID("MNO55555", "");
    frame->RunCommand(ID_ONLY_PICKUP);
    EXPECT_EQ(text(3), "表示：1/3件");
    EXPECT_GT(width(3), 0);
    EXPECT_EQ(text(1), "登録：3件");
    EXPECT_EQ(text(2), "ﾋﾟｯｸｱｯﾌﾟ：1件");

    ASSERT_TRUE(doc->AddNewID("QRS00001", ""));  // registered, not picked up: not shown
    EXPECT_EQ(text(1), "登録：4件");
    EXPECT_EQ(text(3), "表示：1/4件");
    doc->PickupID("QRS00001", "");
    EXPECT_EQ(text(3), "表示：2/4件");

    frame->RunCommand(ID_ONLY_PICKUP);
    EXPECT_EQ(text(3), "");
    EXPECT_EQ(width(3), 0);
}
