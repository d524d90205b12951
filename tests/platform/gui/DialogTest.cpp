// The dialog layer worked as a user works it: keys, clicks and typing by control id, message
// boxes answered through the hook. The program's own templates serve as test dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>
#include <cstdlib>

#include "platform/gui/dialog/CDialog.h"
#include "platform/gui/dialog/DataExchange.h"
#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/window/SystemMetrics.h"
#include "platform/gui/window/UiHooks.h"
#include "res/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

using testing_support::Click;
using testing_support::DialogScript;
using testing_support::FocusedId;
using testing_support::MessageBoxAnswerer;
using testing_support::PressKey;
using testing_support::Retype;
using testing_support::Sjis;
using testing_support::TypeInto;

namespace {

// The date template as a plain dialog: three numbers, two ticks and a radio group.
class NumbersDlg : public CDialog {
public:
    NumbersDlg() : CDialog(IDD_SPECIFY_DATE) {}
    int m_nYear = 2000, m_nMonth = 1, m_nDay = 2;
    int m_bFirst = FALSE, m_bSecond = TRUE;
    int m_nRadio = 1;
    int m_nClicks = 0;
    CSpinButtonCtrl m_spin;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, IDC_YEAR, m_nYear);
        DDX_Text(pDX, IDC_MONTH, m_nMonth);
        DDX_Text(pDX, IDC_DAY, m_nDay);
        DDX_Check(pDX, IDC_TARGET_REGIST_DATE, m_bFirst);
        DDX_Check(pDX, IDC_TARGET_UPDATE_DATE, m_bSecond);
        DDX_Radio(pDX, IDC_ON_OR_BEFORE, m_nRadio);
        DDX_Control(pDX, IDC_YEAR_SPIN, m_spin);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_spin.SetRange(1970, 2038);
        return TRUE;
    }
    void OnButton() { ++m_nClicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(NumbersDlg, CDialog)
ON_BN_CLICKED(IDC_CURRENT_DATE, OnButton)
END_MESSAGE_MAP()

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        afx_ui::EnsureApplication();
    }
    void TearDown() override { afx_ui::ProcessEvents(); }
};

}  // namespace

TEST_F(DialogTest, EnterPressesTheDefaultButtonEscAndTheCloseBoxCancel) {
    NumbersDlg dlg;
    DialogScript script;
    script
        .Then([](CDialog* d) {
            EXPECT_EQ(FocusedId(d), IDC_YEAR);  // the first control that takes the tab
            EXPECT_EQ(testing_support::Shown(d, IDC_YEAR), "2000");
            PressKey(d, Qt::Key_Return);
        })
        .Then([](CDialog* d) { PressKey(d, Qt::Key_Escape); })
        .Then([](CDialog* d) { d->GetWidget()->close(); })
        .Then([](CDialog* d) {
            // A push button with the focus is the one Enter presses.
            d->GotoDlgCtrl(d->GetDlgItem(IDC_CURRENT_DATE));
            PressKey(d, Qt::Key_Return);
            d->GotoDlgCtrl(d->GetDlgItem(IDCANCEL));
            PressKey(d, Qt::Key_Return);
        });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_nClicks, 1);
    EXPECT_EQ(script.Shown(), 4);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);  // the window goes with each DoModal
}

TEST_F(DialogTest, ATextThatIsNoIntegerKeepsTheDialogOpenWithTheFocusOnIt) {
    NumbersDlg dlg;
    MessageBoxAnswerer boxes(IDOK);
    DialogScript script;
    script.Then([&](CDialog* d) {
        Retype(d, IDC_YEAR, "1999");
        Retype(d, IDC_MONTH, "1x");
        Retype(d, IDC_DAY, "7");
        Click(d, IDOK);
        EXPECT_TRUE(d->ContinueModal());
        EXPECT_EQ(FocusedId(d), IDC_MONTH);
        EXPECT_EQ(dlg.m_nYear, 1999);  // exchanged before the failure
        EXPECT_EQ(dlg.m_nDay, 2);      // not reached
        Retype(d, IDC_MONTH, "");
        Click(d, IDOK);
        EXPECT_TRUE(d->ContinueModal());
        Retype(d, IDC_MONTH, " -13 ");
        Retype(d, IDC_DAY, "99999999999");
        Click(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    ASSERT_EQ(boxes.Texts().size(), 2u);
    EXPECT_EQ(boxes.Texts()[0], "整数を入力してください。");
    EXPECT_EQ(dlg.m_nMonth, -13);
    EXPECT_EQ(dlg.m_nDay, 2147483647);
}

TEST_F(DialogTest, RadioButtonsAreExclusiveWithinTheirGroupOnly) {
    NumbersDlg dlg;
    dlg.m_nRadio = 2;
    DialogScript script;
    script.Then([&](CDialog* d) {
        EXPECT_EQ(d->IsDlgButtonChecked(IDC_ON_OR_AFTER), 1u);
        EXPECT_EQ(d->IsDlgButtonChecked(IDC_ON_OR_BEFORE), 0u);
        Click(d, IDC_ON_OR_BEFORE);
        EXPECT_EQ(d->IsDlgButtonChecked(IDC_ON_OR_AFTER), 0u);
        Click(d, IDC_TARGET_REGIST_DATE);  // a check box beside the group changes nothing in it
        EXPECT_EQ(d->IsDlgButtonChecked(IDC_ON_OR_BEFORE), 1u);
        Click(d, IDC_TARGET_UPDATE_DATE);
        Click(d, IDOK);
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nRadio, 0);
    EXPECT_TRUE(dlg.m_bFirst);
    EXPECT_FALSE(dlg.m_bSecond);

    dlg.m_nRadio = -1;  // none
    script.Then([](CDialog* d) {
        for (int id : {IDC_ON_OR_BEFORE, IDC_ON_THE_DAY, IDC_ON_OR_AFTER})
            EXPECT_EQ(d->IsDlgButtonChecked(id), 0u);
        Click(d, IDOK);
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nRadio, -1);
}

TEST_F(DialogTest, EditLimitCountsBytesAndTheModifiedFlagFollowsTheUser) {
    CDialog dlg(IDD_PERSONAL_DATA);
    ASSERT_TRUE(dlg.Create(IDD_PERSONAL_DATA));
    dlg.SendDlgItemMessage(IDC_HANDLE, EM_LIMITTEXT, 5);
    TypeInto(&dlg, IDC_HANDLE, "abcdefg");
    CString text;
    dlg.GetDlgItemText(IDC_HANDLE, text);
    EXPECT_EQ(text, "abcde");
    EXPECT_TRUE(dlg.SendDlgItemMessage(IDC_HANDLE, EM_GETMODIFY));

    TypeInto(&dlg, IDC_MEMO1, "");
    dlg.SendDlgItemMessage(IDC_MEMO1, EM_LIMITTEXT, 5);
    TypeInto(&dlg, IDC_MEMO1, "あいう");  // two bytes each
    dlg.GetDlgItemText(IDC_MEMO1, text);
    EXPECT_EQ(text, Sjis("あい"));
    // The program's own text is neither limited nor a change.
    dlg.SetDlgItemText(IDC_MEMO1, Sjis("あいうえお"));
    dlg.GetDlgItemText(IDC_MEMO1, text);
    EXPECT_EQ(text, Sjis("あいうえお"));
    EXPECT_FALSE(dlg.SendDlgItemMessage(IDC_MEMO1, EM_GETMODIFY));

    // Typing and taking it back again is still a change.
    EXPECT_FALSE(dlg.SendDlgItemMessage(IDC_MEMO2, EM_GETMODIFY));
    TypeInto(&dlg, IDC_MEMO2, "x");
    testing_support::PressKey(&dlg, Qt::Key_Backspace);
    dlg.GetDlgItemText(IDC_MEMO2, text);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_TRUE(dlg.SendDlgItemMessage(IDC_MEMO2, EM_GETMODIFY));
    dlg.SendDlgItemMessage(IDC_MEMO2, EM_SETMODIFY, FALSE);
    EXPECT_FALSE(dlg.SendDlgItemMessage(IDC_MEMO2, EM_GETMODIFY));
    dlg.DestroyWindow();
}

namespace {
void PasteOver(CDialog* dlg, int id, const char* utf8, int from, int to) {
    auto* edit = qobject_cast<QLineEdit*>(dlg->GetDlgItem(id)->GetWidget());
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->setSelection(from, to - from);
    QApplication::clipboard()->setText(QString::fromUtf8(utf8));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    QApplication::sendEvent(edit, &press);
}
}  // namespace

TEST_F(DialogTest, APasteFillsTheLimitAndTheProgramsLongerTextCanStillShrink) {
    CDialog dlg(IDD_PERSONAL_DATA);
    ASSERT_TRUE(dlg.Create(IDD_PERSONAL_DATA));
    CString text;
    // A paste over a selection has the selection's room too; the text after it stays.
    dlg.SendDlgItemMessage(IDC_HANDLE, EM_LIMITTEXT, 8);
    TypeInto(&dlg, IDC_HANDLE, "abcdef");
    PasteOver(&dlg, IDC_HANDLE, "アイウエオ", 1, 3);  // "bc" goes: room for 2 of them
    dlg.GetDlgItemText(IDC_HANDLE, text);
    EXPECT_EQ(text, Sjis("aアイdef"));
    // Half-width katakana take one byte each, a character outside the code page one ("?").
    PasteOver(&dlg, IDC_HANDLE, "ｶﾅ😀xyz", 8, 8);
    dlg.GetDlgItemText(IDC_HANDLE, text);
    EXPECT_EQ(text, Sjis("aアイdef"));  // full: nothing goes in
    PasteOver(&dlg, IDC_HANDLE, "ｶ😀xyz", 1, 3);
    dlg.GetDlgItemText(IDC_HANDLE, text);
    EXPECT_EQ(text, Sjis("aｶ?xydef"));

    // The program's text longer than the limit: typing adds nothing, deleting still works.
    dlg.SendDlgItemMessage(IDC_MEMO1, EM_LIMITTEXT, 4);
    dlg.SetDlgItemText(IDC_MEMO1, "abcdefgh");
    TypeInto(&dlg, IDC_MEMO1, "x");
    dlg.GetDlgItemText(IDC_MEMO1, text);
    EXPECT_EQ(text, "abcdefgh");
    PressKey(&dlg, Qt::Key_Backspace);
    dlg.GetDlgItemText(IDC_MEMO1, text);
    EXPECT_EQ(text, "abcdefg");
    dlg.DestroyWindow();
}

namespace {
// A modeless dialog that owns itself, as the personal data editor does.
class SelfOwned : public CDialog {
public:
    explicit SelfOwned(bool* gone) : CDialog(IDD_PERSONAL_DATA), m_gone(gone) {}
    void OnOK() override { DestroyWindow(); }
    void OnCancel() override { DestroyWindow(); }

protected:
    void PostNcDestroy() override {
        *m_gone = true;
        delete this;
    }

private:
    bool* m_gone;
};
}  // namespace

TEST_F(DialogTest, AModelessDialogFreesItselfWhenItsWindowGoes) {
    bool okGone = false, escGone = false, boxGone = false;
    auto* ok = new SelfOwned(&okGone);
    auto* esc = new SelfOwned(&escGone);
    auto* box = new SelfOwned(&boxGone);
    for (SelfOwned* d : {ok, esc, box}) {
        ASSERT_TRUE(d->Create(IDD_PERSONAL_DATA));
        EXPECT_TRUE(d->IsWindowVisible());  // the template says visible
    }
    const HWND hWnd = ok->GetSafeHwnd();
    Click(ok, IDOK);
    EXPECT_TRUE(okGone);
    EXPECT_EQ(CWnd::FromHandle(hWnd), nullptr);
    PressKey(esc, Qt::Key_Escape);
    EXPECT_TRUE(escGone);
    box->GetWidget()->close();
    EXPECT_TRUE(boxGone);
}

TEST_F(DialogTest, UpDownArrowsStopAtTheRangeAndTypedNumbersStand) {
    NumbersDlg dlg;
    dlg.m_nYear = 2037;
    DialogScript script;
    script.Then([&](CDialog* d) {
        EXPECT_EQ(d->GetDlgItem(IDC_YEAR_SPIN), &dlg.m_spin);  // taken over by DDX_Control
        testing_support::ClickArrow(d, IDC_YEAR_SPIN, true);
        testing_support::ClickArrow(d, IDC_YEAR_SPIN, true);
        EXPECT_EQ(testing_support::Shown(d, IDC_YEAR), "2038");
        Retype(d, IDC_YEAR, "2050");
        Click(d, IDOK);
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nYear, 2050);
    EXPECT_EQ(dlg.m_spin.GetSafeHwnd(), nullptr);  // let go with the window

    dlg.m_nYear = 1971;
    script.Then([&](CDialog* d) {
        d->GotoDlgCtrl(d->GetDlgItem(IDC_YEAR));
        PressKey(d, Qt::Key_Down);
        PressKey(d, Qt::Key_Down);
        EXPECT_EQ(testing_support::Shown(d, IDC_YEAR), "1970");
        Retype(d, IDC_YEAR, "2050");
        testing_support::ClickArrow(d, IDC_YEAR_SPIN, true);
        EXPECT_EQ(testing_support::Shown(d, IDC_YEAR), "2038");
        PressKey(d, Qt::Key_Escape);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_nYear, 1971);
}

namespace {
class ListsDlg : public CDialog {
public:
    explicit ListsDlg(UINT id) : CDialog(id) {}
    int m_nSelChanges = 0, m_nDoubleClicks = 0;

protected:
    void OnSelChange() { ++m_nSelChanges; }
    void OnDblClk() { ++m_nDoubleClicks; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ListsDlg, CDialog)
ON_CBN_SELCHANGE(IDC_NEW_ID, OnSelChange)
ON_LBN_DBLCLK(IDC_EXPANDED_FORMATS, OnDblClk)
END_MESSAGE_MAP()

CString ComboText(CDialog& dlg, int id, int row) {
    CString text;
    const auto len = dlg.SendDlgItemMessage(id, CB_GETLBTEXTLEN, static_cast<WPARAM>(row));
    text.Str().resize(static_cast<std::size_t>(len) + 1);
    dlg.SendDlgItemMessage(id, CB_GETLBTEXT, static_cast<WPARAM>(row),
                           reinterpret_cast<LPARAM>(text.Str().data()));
    text.Str().resize(static_cast<std::size_t>(len));
    return text;
}
}  // namespace

TEST_F(DialogTest, SortedSimpleComboBoxKeepsItemDataAndItsSelection) {
    ListsDlg dlg(IDD_REGIST_ID);
    ASSERT_TRUE(dlg.Create(IDD_REGIST_ID));
    for (const char* id : {"XYZ00001", "abc00002", "KLM00003"}) {
        const auto row =
            dlg.SendDlgItemMessage(IDC_NEW_ID, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(id));
        dlg.SendDlgItemMessage(IDC_NEW_ID, CB_SETITEMDATA, static_cast<WPARAM>(row), id[7] - '0');
    }
    EXPECT_EQ(ComboText(dlg, IDC_NEW_ID, 0), "abc00002");  // letters sort without regard to case
    EXPECT_EQ(ComboText(dlg, IDC_NEW_ID, 2), "XYZ00001");
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_NEW_ID, CB_GETITEMDATA, 1), 3);
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_NEW_ID, CB_GETCURSEL), CB_ERR);

    dlg.SendDlgItemMessage(IDC_NEW_ID, CB_SETCURSEL, 1);
    EXPECT_EQ(testing_support::Shown(&dlg, IDC_NEW_ID), "KLM00003");
    EXPECT_EQ(dlg.m_nSelChanges, 0);  // the program's selection is no notification
    testing_support::PickRow(&dlg, IDC_NEW_ID, 2);
    EXPECT_EQ(dlg.m_nSelChanges, 1);
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_NEW_ID, CB_GETCURSEL), 2);
    EXPECT_EQ(testing_support::Shown(&dlg, IDC_NEW_ID), "XYZ00001");

    // Deleting the selected entry leaves none selected and the edit field as it was.
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_NEW_ID, CB_DELETESTRING, 2), 2);
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_NEW_ID, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(testing_support::Shown(&dlg, IDC_NEW_ID), "XYZ00001");
    // Typing selects the first entry the text begins, without a notification.
    Retype(&dlg, IDC_NEW_ID, "k");
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_NEW_ID, CB_GETCURSEL), 1);
    Retype(&dlg, IDC_NEW_ID, "q");
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_NEW_ID, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(dlg.m_nSelChanges, 1);
    dlg.SendDlgItemMessage(IDC_NEW_ID, CB_RESETCONTENT);
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_NEW_ID, CB_GETCOUNT), 0);
    EXPECT_EQ(testing_support::Shown(&dlg, IDC_NEW_ID), "");
    dlg.DestroyWindow();
}

TEST_F(DialogTest, DropDownComboBoxOpensEmptyAndListBoxReportsDoubleClicks) {
    ListsDlg keyword(IDD_SPECIFY_KEYWORD);
    ASSERT_TRUE(keyword.Create(IDD_SPECIFY_KEYWORD));
    for (const char* word : {"red", "Blue", "green"})
        keyword.SendDlgItemMessage(IDC_KEYWORD, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(word));
    EXPECT_EQ(ComboText(keyword, IDC_KEYWORD, 1), "Blue");  // not sorted
    keyword.SendDlgItemMessage(IDC_KEYWORD, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("top"));
    EXPECT_EQ(ComboText(keyword, IDC_KEYWORD, 0), "top");
    EXPECT_EQ(keyword.SendDlgItemMessage(IDC_KEYWORD, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>("BLUE")),
              2);
    keyword.SendDlgItemMessage(IDC_KEYWORD, CB_SETCURSEL, 3);
    EXPECT_EQ(testing_support::Shown(&keyword, IDC_KEYWORD), "green");
    keyword.SendDlgItemMessage(IDC_KEYWORD, CB_SETCURSEL, static_cast<WPARAM>(-1));
    EXPECT_EQ(testing_support::Shown(&keyword, IDC_KEYWORD), "");
    keyword.DestroyWindow();

    ListsDlg chooser(IDD_SEND_FORMAT);
    ASSERT_TRUE(chooser.Create(IDD_SEND_FORMAT));
    for (const char* line : {"one", "two"})
        chooser.SendDlgItemMessage(IDC_EXPANDED_FORMATS, LB_ADDSTRING, 0,
                                   reinterpret_cast<LPARAM>(line));
    chooser.SendDlgItemMessage(IDC_EXPANDED_FORMATS, LB_SETCURSEL, 0);
    testing_support::PickRow(&chooser, IDC_EXPANDED_FORMATS, 1, true);
    EXPECT_EQ(chooser.m_nDoubleClicks, 1);
    EXPECT_EQ(chooser.SendDlgItemMessage(IDC_EXPANDED_FORMATS, LB_GETCURSEL), 1);
    chooser.DestroyWindow();
}

TEST_F(DialogTest, SystemMetricsDescribeTheScreen) {
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYMENU), 0);
    EXPECT_GT(GetSystemMetrics(SM_CXDLGFRAME), 0);
}
