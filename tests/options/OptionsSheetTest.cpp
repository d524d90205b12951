// The options sheet run by the application's command, each page worked by control id, against
// the program's own frame, document and list view.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QListWidget>
#include <QMouseEvent>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/VelkonApp.h"
#include "options/OptionsSheet.h"
#include "options/PropertyColor.h"
#include "platform/base/StringResource.h"
#include "platform/gui/dialog/CPropertySheet.h"
#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/window/QtText.h"
#include "platform/gui/x11/HotKey.h"
#include "res/resource.h"
#include "tests/listview/ListViewFixture.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestPictures.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;
using listview_test::ListViewTest;

namespace {

constexpr WORD kCtrlAltK = MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
constexpr WORD kCtrlShiftJ = MAKEWORD('J', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
enum Page { kEnviron, kView, kPickup, kHelper, kColor };

class RecordingHotKeys : public HotKeyHook {
public:
    RecordingHotKeys() : m_previous(SetHotKeyHook(this)) {}
    ~RecordingHotKeys() override { SetHotKeyHook(m_previous); }
    BOOL Register(HWND, int, UINT fsModifiers, UINT vk) override {
        registered = true;
        key = {fsModifiers, vk};
        return TRUE;
    }
    BOOL Unregister(HWND, int) override {
        registered = false;
        return TRUE;
    }
    bool registered = false;
    std::pair<UINT, UINT> key{0, 0};

private:
    HotKeyHook* m_previous;
};

class OptionsTest : public ListViewTest {
protected:
    std::unique_ptr<CWinApp> MakeApp() const override { return std::make_unique<CVelkonApp>(); }
    // Runs the sheet from the menu command; step works it and must end it.
    void RunSheet(std::function<void(CPropertySheet*)> step) {
        DialogScript script;
        script.Then([&](CDialog* d) {
            auto* sheet = dynamic_cast<CPropertySheet*>(d);
            ASSERT_NE(sheet, nullptr);
            step(sheet);
        });
        frame->RunCommand(ID_OPTIONS);
    }
    static CDialog* Show(CPropertySheet* sheet, int page) {
        EXPECT_TRUE(sheet->SetActivePage(page));
        return sheet->GetActivePage();
    }
    static bool CanApply(CPropertySheet* sheet) {
        return sheet->GetDlgItem(ID_APPLY_NOW)->IsWindowEnabled() != FALSE;
    }
    static std::vector<std::string> Lines(CDialog* page, int id) {
        std::vector<std::string> lines;
        const auto n = page->SendDlgItemMessage(id, LB_GETCOUNT);
        for (int i = 0; i < n; ++i) {
            std::string text(
                static_cast<std::size_t>(page->SendDlgItemMessage(id, LB_GETTEXTLEN, i)), '\0');
            page->SendDlgItemMessage(id, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            lines.push_back(Utf8(CString(text)));
        }
        return lines;
    }
    std::vector<std::string> Headers() const {
        std::vector<std::string> headers;
        char buffer[256];
        for (int i = 0;; ++i) {
            LVCOLUMN column;
            column.mask = LVCF_TEXT;
            column.pszText = buffer;
            column.cchTextMax = sizeof buffer;
            if (!view->GetListCtrl().GetColumn(i, &column)) break;
            headers.push_back(Utf8(CString(buffer)));
        }
        return headers;
    }
};

}  // namespace

TEST_F(OptionsTest, TheSheetHasFivePagesInOrderAndApplyFollowsTheChanges) {
    EXPECT_TRUE(frame->IsCommandEnabled(ID_OPTIONS));
    RunSheet([&](CPropertySheet* sheet) {
        EXPECT_EQ(sheet->GetWindowText(), Sjis("ｵﾌﾟｼｮﾝ"));
        ASSERT_EQ(sheet->GetPageCount(), 5);
        const char* tabs[] = {"動作環境", "表示設定", "ﾋﾟｯｸｱｯﾌﾟ設定", "ｺﾋﾟｰ/送信ﾍﾙﾊﾟ設定",
                              "色設定"};
        for (int i = 0; i < 5; ++i) EXPECT_EQ(sheet->GetPage(i)->GetCaption(), Sjis(tabs[i]));
        EXPECT_EQ(sheet->GetActiveIndex(), 0);
        EXPECT_EQ(Shown(sheet, IDCANCEL), "キャンセル");
        EXPECT_EQ(Shown(sheet, ID_APPLY_NOW), "適用(&A)");
        EXPECT_FALSE(CanApply(sheet));  // filling the pages is no change
        CDialog* helper = Show(sheet, kHelper);
        EXPECT_FALSE(CanApply(sheet));
        Retype(helper, IDC_HELPER_FORMAT2, "");
        EXPECT_TRUE(CanApply(sheet));
        Click(sheet, ID_APPLY_NOW);
        EXPECT_FALSE(CanApply(sheet));
        EXPECT_TRUE(frame->m_astrHelperFormat[2].IsEmpty());  // stored as typed, empty too
        TypeInto(helper, IDC_HELPER_FORMAT6, " \\n%x");
        Click(sheet, IDOK);
    });
    EXPECT_EQ(frame->m_astrHelperFormat[6], CString("PROF %i \\n%x"));
}

TEST_F(OptionsTest, CancelLeavesEverythingAsItWasAndTheHotKeyComesBack) {
    frame->m_nHotKey = kCtrlAltK;
    doc->m_astrNoPickupID.Add("ZZZ00001");
    RecordingHotKeys hotKeys;
    const COLORREF back = view->m_clrBack;
    RunSheet([&](CPropertySheet* sheet) {
        EXPECT_FALSE(hotKeys.registered);  // the combination reaches the control instead
        CDialog* environ = sheet->GetActivePage();
        Click(environ, IDC_RESIDENT);
        Click(environ, IDC_BACKUP);
        PressChord(environ, IDC_HOT_KEY, Qt::Key_J, Qt::ControlModifier | Qt::ShiftModifier);
        CDialog* pickup = Show(sheet, kPickup);
        Click(pickup, IDC_CLIPBOARD_PICKUP);
        Click(pickup, IDC_DELETE_NO_PICKUP_ID);
        CDialog* color = Show(sheet, kColor);
        PickRow(color, IDC_COLOR_CATEGORY, 2);
        Click(color, IDC_SWATCH17);
        CDialog* viewPage = Show(sheet, kView);
        Retype(viewPage, IDC_CAPTION_HANDLE, "Nick");
        ToggleCheck(viewPage, IDC_COLUMNS, 0);
        EXPECT_TRUE(CanApply(sheet));
        Click(sheet, IDCANCEL);
    });
    EXPECT_FALSE(frame->m_bResident);
    EXPECT_FALSE(frame->m_bTrayIcon);
    EXPECT_EQ(frame->m_nHotKey, kCtrlAltK);
    EXPECT_TRUE(doc->m_bBackup);
    EXPECT_TRUE(frame->m_bClipboardPickup);
    ASSERT_EQ(doc->m_astrNoPickupID.GetSize(), 1);
    EXPECT_EQ(view->m_clrBack, back);
    EXPECT_EQ(Utf8(CString(view->m_szCaption[1])), "ハンドル");
    EXPECT_EQ(Headers(), (std::vector<std::string>{"ID", "ハンドル", "登録日付", "前回更新日付"}));
    EXPECT_TRUE(hotKeys.registered);
    EXPECT_EQ(hotKeys.key, (std::pair<UINT, UINT>{MOD_CONTROL | MOD_ALT, 'K'}));
}

TEST_F(OptionsTest, ANewHotKeyIsAppliedAtOnceButRegisteredOnlyAfterTheSheet) {
    frame->m_nHotKey = kCtrlAltK;
    RecordingHotKeys hotKeys;
    RunSheet([&](CPropertySheet* sheet) {
        CDialog* environ = sheet->GetActivePage();
        EXPECT_EQ(Shown(environ, IDC_HOT_KEY), "Ctrl + Alt + K");
        // The same combination again is no change.
        PressChord(environ, IDC_HOT_KEY, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
        EXPECT_FALSE(CanApply(sheet));
        PressChord(environ, IDC_HOT_KEY, Qt::Key_J, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(Shown(environ, IDC_HOT_KEY), "Ctrl + Shift + J");
        EXPECT_TRUE(CanApply(sheet));
        Click(sheet, ID_APPLY_NOW);
        EXPECT_EQ(frame->m_nHotKey, kCtrlShiftJ);
        EXPECT_FALSE(CanApply(sheet));
        EXPECT_FALSE(hotKeys.registered);
        // Backspace alone clears the control; Enter stays the sheet's and presses OK.
        PressChord(environ, IDC_HOT_KEY, Qt::Key_Backspace, 0);
        EXPECT_EQ(environ->SendDlgItemMessage(IDC_HOT_KEY, HKM_GETHOTKEY), 0);
        PressChord(environ, IDC_HOT_KEY, Qt::Key_F5, Qt::AltModifier);
        PressKey(environ, Qt::Key_Return);
    });
    EXPECT_EQ(frame->m_nHotKey, MAKEWORD(0x74, HOTKEYF_ALT));
    EXPECT_TRUE(hotKeys.registered);
    EXPECT_EQ(hotKeys.key, (std::pair<UINT, UINT>{MOD_ALT, 0x74}));
}

TEST_F(OptionsTest, ResidentModeAndTheTrayIconFollowEachApply) {
    RunSheet([&](CPropertySheet* sheet) {
        CDialog* environ = sheet->GetActivePage();
        Click(environ, IDC_RESIDENT);
        Click(environ, IDC_AUTO_SAVE);
        EXPECT_TRUE(CanApply(sheet));
        Click(sheet, ID_APPLY_NOW);
        EXPECT_TRUE(frame->m_bResident);
        EXPECT_TRUE(frame->m_bTrayIcon);
        EXPECT_TRUE(doc->m_bAutoSave);
        Click(environ, IDC_RESIDENT);
        Click(sheet, ID_APPLY_NOW);
        EXPECT_FALSE(frame->m_bResident);
        EXPECT_FALSE(frame->m_bTrayIcon);
        Click(sheet, IDCANCEL);  // an apply is not undone
    });
    EXPECT_TRUE(doc->m_bAutoSave);
}

TEST_F(OptionsTest, ColumnLinesMoveWithinTheListAndTicksDecideWhatIsShown) {
    Open(listview_test::kThree);
    RunSheet([&](CPropertySheet* sheet) {
        CDialog* page = Show(sheet, kView);
        EXPECT_EQ(Lines(page, IDC_COLUMNS)[0], "ID");
        EXPECT_EQ(page->SendDlgItemMessage(IDC_COLUMNS, LB_GETCURSEL), 0);
        // The first line up and the last line down move nothing but count as a change.
        Click(page, IDC_COLUMN_UP);
        EXPECT_TRUE(CanApply(sheet));
        Click(sheet, ID_APPLY_NOW);
        PickRow(page, IDC_COLUMNS, 10);
        Click(page, IDC_COLUMN_DOWN);
        EXPECT_TRUE(CanApply(sheet));
        EXPECT_EQ(Lines(page, IDC_COLUMNS)[10], "更新回数");
        EXPECT_EQ(FocusedId(page), IDC_COLUMNS);
        // Up moves the line and its tick with it.
        PickRow(page, IDC_COLUMNS, 1);
        Click(page, IDC_COLUMN_UP);
        EXPECT_EQ(Lines(page, IDC_COLUMNS)[0], "ハンドル");
        EXPECT_EQ(page->SendDlgItemMessage(IDC_COLUMNS, LBX_GETCHECK, 0), 1);
        EXPECT_EQ(page->SendDlgItemMessage(IDC_COLUMNS, LB_GETCURSEL), 0);
        Click(sheet, ID_APPLY_NOW);
        EXPECT_EQ(Headers(),
                  (std::vector<std::string>{"ハンドル", "ID", "登録日付", "前回更新日付"}));
        for (int i = 0; i < 11; ++i)
            if (page->SendDlgItemMessage(IDC_COLUMNS, LBX_GETCHECK, i) == 1)
                ToggleCheck(page, IDC_COLUMNS, i);
        Click(sheet, ID_APPLY_NOW);
        EXPECT_TRUE(Headers().empty());
        ToggleCheck(page, IDC_COLUMNS, 10);
        Click(sheet, IDOK);
    });
    EXPECT_EQ(Headers(), (std::vector<std::string>{"更新回数"}));
    EXPECT_EQ(view->GetListCtrl().GetItemCount(), 3);
}

namespace {
// A click as the mouse makes it on the check box of a column line, not on its text.
void ClickCheckBox(CDialog* page, int row) {
    auto* list = qobject_cast<QListWidget*>(page->GetDlgItem(IDC_COLUMNS)->GetWidget());
    ASSERT_NE(list, nullptr);
    const QRect line = list->visualItemRect(list->item(row));
    const int box = list->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, list);
    const QPointF at(line.left() + 3 + box / 2.0, line.center().y());
    QWidget* viewport = list->viewport();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, viewport->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(viewport, &e);
    }
}
}  // namespace

// The line whose box was clicked is the one 上に and 下に move, ticked or unticked, whichever
// line was selected before.
TEST_F(OptionsTest, AClickOnAColumnsCheckBoxTicksAndSelectsItsLine) {
    RunSheet([&](CPropertySheet* sheet) {
        CDialog* page = Show(sheet, kView);
        ASSERT_EQ(page->SendDlgItemMessage(IDC_COLUMNS, LB_GETCURSEL), 0);
        const std::string third = Lines(page, IDC_COLUMNS)[3];
        const auto before = page->SendDlgItemMessage(IDC_COLUMNS, LBX_GETCHECK, 3);
        ClickCheckBox(page, 3);
        EXPECT_NE(page->SendDlgItemMessage(IDC_COLUMNS, LBX_GETCHECK, 3), before);
        EXPECT_EQ(page->SendDlgItemMessage(IDC_COLUMNS, LB_GETCURSEL), 3);
        Click(page, IDC_COLUMN_UP);
        EXPECT_EQ(Lines(page, IDC_COLUMNS)[2], third);
        EXPECT_NE(page->SendDlgItemMessage(IDC_COLUMNS, LBX_GETCHECK, 2), before);
        // Unticking by the box selects too; the tick moves down with its line.
        ClickCheckBox(page, 0);
        EXPECT_EQ(page->SendDlgItemMessage(IDC_COLUMNS, LB_GETCURSEL), 0);
        Click(page, IDC_COLUMN_DOWN);
        EXPECT_EQ(Lines(page, IDC_COLUMNS)[1], "ID");
        EXPECT_EQ(page->SendDlgItemMessage(IDC_COLUMNS, LBX_GETCHECK, 1), 0);
        Click(sheet, IDOK);
    });
    EXPECT_EQ(Headers()[0], "ハンドル");
}

TEST_F(OptionsTest, CaptionsAreLimitedAndReachTheHeaderOnApply) {
    RunSheet([&](CPropertySheet* sheet) {
        CDialog* page = Show(sheet, kView);
        EXPECT_EQ(Shown(page, IDC_CAPTION_MEMO4), "職業");
        const std::string forty(40, 'x');
        Retype(page, IDC_CAPTION_MEMO1, (forty + "y").c_str());
        EXPECT_EQ(Shown(page, IDC_CAPTION_MEMO1), forty);  // the 41st character is not taken
        Retype(page, IDC_CAPTION_HANDLE, "");
        Retype(page, IDC_CAPTION_MEMO4, "趣味");
        page->SendDlgItemMessage(IDC_COLUMNS, LB_SETCURSEL, 5);
        ToggleCheck(page, IDC_COLUMNS, 5);
        Click(sheet, ID_APPLY_NOW);
        // The lines keep the captions the sheet opened with.
        EXPECT_EQ(Lines(page, IDC_COLUMNS)[5], "職業");
        Click(sheet, IDOK);
    });
    EXPECT_EQ(Headers(), (std::vector<std::string>{"ID", "", "趣味", "登録日付", "前回更新日付"}));
    EXPECT_EQ(Utf8(CString(view->m_szCaption[2])), std::string(40, 'x'));
}

TEST_F(OptionsTest, NoPickupIDsAreAddedUpperCasedSortedAndDeletedAroundTheSelection) {
    doc->m_astrNoPickupID.Add("QQQ00002");
    doc->m_astrNoPickupID.Add("BBB00001");
    MessageBoxAnswerer boxes(IDOK);
    DialogScript script;
    script.Then([&](CDialog* d) {
        auto* sheet = dynamic_cast<CPropertySheet*>(d);
        ASSERT_NE(sheet, nullptr);
        CDialog* page = Show(sheet, kPickup);
        EXPECT_EQ(Lines(page, IDC_NO_PICKUP_IDS),
                  (std::vector<std::string>{"BBB00001", "QQQ00002"}));
        EXPECT_EQ(page->SendDlgItemMessage(IDC_NO_PICKUP_IDS, LB_GETCURSEL), 0);
        Click(page, IDC_ADD_NO_PICKUP_ID);  // the add dialog, below
        EXPECT_EQ(Lines(page, IDC_NO_PICKUP_IDS),
                  (std::vector<std::string>{"ABC12345", "BBB00001", "QQQ00002"}));
        EXPECT_EQ(FocusedId(page), IDC_NO_PICKUP_IDS);
        Click(page, IDC_ADD_NO_PICKUP_ID);  // cancelled
        EXPECT_EQ(Lines(page, IDC_NO_PICKUP_IDS).size(), 3u);
        Click(sheet, ID_APPLY_NOW);
        EXPECT_EQ(doc->m_astrNoPickupID.GetSize(), 3);
        EXPECT_EQ(doc->m_astrNoPickupID[0], CString("ABC12345"));
        // Deleting the last entry selects the new last one.
        PickRow(page, IDC_NO_PICKUP_IDS, 2);
        Click(page, IDC_DELETE_NO_PICKUP_ID);
        EXPECT_EQ(page->SendDlgItemMessage(IDC_NO_PICKUP_IDS, LB_GETCURSEL), 1);
        Click(page, IDC_DELETE_NO_PICKUP_ID);
        Click(page, IDC_DELETE_NO_PICKUP_ID);
        EXPECT_EQ(page->SendDlgItemMessage(IDC_NO_PICKUP_IDS, LB_GETCURSEL), LB_ERR);
        Click(sheet, ID_APPLY_NOW);
        // With nothing selected, delete still counts as a change.
        Click(page, IDC_DELETE_NO_PICKUP_ID);
        EXPECT_TRUE(CanApply(sheet));
        Click(sheet, IDOK);
    });
    script.Then([&](CDialog* d) {
        EXPECT_EQ(d->GetWindowText(), Sjis("ﾋﾟｯｸｱｯﾌﾟしないIDの追加"));
        TypeInto(d, IDC_NO_PICKUP_ID, "ab1234");
        Click(d, IDOK);
        EXPECT_TRUE(d->ContinueModal());  // refused, and the user told
        EXPECT_EQ(FocusedId(d), IDC_NO_PICKUP_ID);
        Retype(d, IDC_NO_PICKUP_ID, "abc12345");
        Click(d, IDOK);
    });
    script.Then([&](CDialog* d) {
        TypeInto(d, IDC_NO_PICKUP_ID, "XYZ99999");
        Click(d, IDCANCEL);
    });
    frame->RunCommand(ID_OPTIONS);
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0], Utf8(AfxLoadString(IDS_INVALID_ID)));
    EXPECT_EQ(doc->m_astrNoPickupID.GetSize(), 0);
}

TEST_F(OptionsTest, ClipboardPickupSwitchIsTheFramesAfterApply) {
    RunSheet([&](CPropertySheet* sheet) {
        CDialog* page = Show(sheet, kPickup);
        EXPECT_EQ(page->IsDlgButtonChecked(IDC_HIDETERM_PICKUP), 1u);
        Click(page, IDC_CLIPBOARD_PICKUP);
        EXPECT_TRUE(CanApply(sheet));
        Click(sheet, IDOK);
    });
    EXPECT_FALSE(frame->m_bClipboardPickup);
    EXPECT_TRUE(frame->m_bHidetermPickup);
}

TEST_F(OptionsTest, TheMainWindowClosedUnderTheSheetIsNoLongerTouched) {
    frame->m_nHotKey = kCtrlAltK;
    RecordingHotKeys hotKeys;
    RunSheet([&](CPropertySheet* sheet) {
        CDialog* environ = sheet->GetActivePage();
        CDialog* helper = Show(sheet, kHelper);
        CDialog* color = Show(sheet, kColor);
        // An end signal closes the main window as the user would, sheet or no sheet.
        frame->SendMessage(WM_CLOSE);
        frame = nullptr;
        doc = nullptr;
        view = nullptr;
        ASSERT_EQ(AfxGetMainWnd(), nullptr);
        Click(environ, IDC_RESIDENT);
        TypeInto(helper, IDC_HELPER_FORMAT0, "x");
        PickRow(color, IDC_COLOR_CATEGORY, 2);
        Click(color, IDC_SWATCH17);
        color->GetWidget()->repaint();  // the sample drew with the view's mark and font
        Click(sheet, ID_APPLY_NOW);
        Click(sheet, IDOK);
    });
    // The hot key would be taken again for a window that is gone.
    EXPECT_FALSE(hotKeys.registered);
    // The main window going inside the sheet's loop asked Qt to end every loop, as it should in
    // the program; one turn of the application's own loop clears that for the tests after this.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

namespace {
// How many pixels of the widget as drawn now are of the colour, or nearly: text is drawn with
// smoothed edges.
int PixelsOf(QWidget* w, COLORREF clr) {
    const QImage image = w->grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::abs(qRed(p) - GetRValue(clr)) < 48 &&
                std::abs(qGreen(p) - GetGValue(clr)) < 48 &&
                std::abs(qBlue(p) - GetBValue(clr)) < 48)
                ++n;
        }
    return n;
}

// The columns of the widget's picture, inside the rectangle, that hold anything but `back`.
std::pair<int, int> InkColumns(QWidget* w, const QRect& area, QRgb back) {
    const QImage image = w->grab().toImage();
    int left = -1, right = -1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (back & 0xFFFFFF)) {
                if (left < 0 || x < left) left = x;
                right = std::max(right, x);
            }
    return {left, right};
}
}  // namespace

namespace {
// Counts the paints of a list's scrolled area, where its rows are drawn.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* list, int* count) : m_count(count) {
        if (auto* area = qobject_cast<QAbstractScrollArea*>(list))
            area->viewport()->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++*m_count;
        return false;
    }

private:
    int* m_count;
};
}  // namespace

TEST_F(OptionsTest, SwatchesColourTheSampleAtOnceAndTheListOnApply) {
    Open(listview_test::kThree);
    // A list font larger than the one the sample's first column was once sized for: the sample
    // draws in it.
    LOGFONT lf;
    view->m_font.GetLogFont(&lf);
    lf.lfHeight = -20;
    view->m_font.DeleteObject();
    view->m_font.CreateFontIndirect(&lf);
    RunSheet([&](CPropertySheet* sheet) {
        auto* page = dynamic_cast<CPropertyColor*>(Show(sheet, kColor));
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Lines(page, IDC_COLOR_CATEGORY),
                  (std::vector<std::string>{"通常のID", "ﾋﾟｯｸｱｯﾌﾟID", "背景"}));
        // Each swatch draws itself in its palette colour.
        for (int i : {2, 13, 15}) {
            EXPECT_GT(PixelsOf(page->GetDlgItem(IDC_SWATCH0 + i)->GetWidget(),
                               CPropertyColor::s_aclrPalette[i]),
                      100)
                << "swatch " << i;
        }
        // The sample rows, as the list view draws them: odd rows in the pickup colour.
        QWidget* sample = page->GetDlgItem(IDC_COLOR_SAMPLE)->GetWidget();
        // Each ID whole in its column, right of the flag: as wide as the font draws it.
        const QFontMetrics metrics(page->m_listSample.GetFont()->GetQFont());
        LVCOLUMN column;
        column.mask = LVCF_WIDTH;
        ASSERT_TRUE(page->m_listSample.GetColumn(0, &column));
        const COLORREF back = page->m_listSample.m_clrBack;
        const int inSight = page->m_listSample.GetCountPerPage();
        ASSERT_GE(inSight, 1);
        for (int row = 0; row < std::min(inSight, CPropertyColor::kSampleRows); ++row) {
            RECT rc;
            ASSERT_TRUE(page->m_listSample.GetItemRect(row, &rc, LVIR_BOUNDS));
            const QRect cell(rc.left + 20, rc.top, column.cx - 20, rc.bottom - rc.top);
            const auto [left, right] =
                InkColumns(sample, cell, qRgb(GetRValue(back), GetGValue(back), GetBValue(back)));
            const int id = metrics.horizontalAdvance(
                ToQt(AfxLoadString(IDS_SAMPLE_ID0 + static_cast<UINT>(row))));
            EXPECT_GE(right - left + 1, id - 3) << row;
            EXPECT_LT(right, cell.right()) << row;
        }
        // The sample on the screen follows each swatch at once: its rows are drawn again, not
        // only the next time the page is uncovered.
        int rowsPainted = 0;
        PaintWatch watch(sample, &rowsPainted);
        ASSERT_TRUE(RunEventsUntil([&] { return sample->isVisible(); }));
        PickRow(page, IDC_COLOR_CATEGORY, 1);
        rowsPainted = 0;
        Click(page, IDC_SWATCH8);  // blue
        EXPECT_TRUE(RunEventsUntil([&] { return rowsPainted > 0; }));
        PickRow(page, IDC_COLOR_CATEGORY, 0);
        rowsPainted = 0;
        Click(page, IDC_SWATCH3);
        EXPECT_TRUE(RunEventsUntil([&] { return rowsPainted > 0; }));
        EXPECT_EQ(page->m_listSample.m_clrPickupText, 0x00FF0000u);
        EXPECT_TRUE(CanApply(sheet));
        EXPECT_GT(PixelsOf(sample, RGB(0, 0, 255)), 20);
        PickRow(page, IDC_COLOR_CATEGORY, 2);
        Click(page, IDC_SWATCH17);  // white
        EXPECT_EQ(page->m_listSample.GetBkColor(), 0x00FFFFFFu);
        Click(sheet, ID_APPLY_NOW);
        EXPECT_EQ(view->m_clrBack, 0x00FFFFFFu);
        EXPECT_EQ(view->GetListCtrl().GetBkColor(), 0x00FFFFFFu);
        EXPECT_EQ(view->m_clrPickupText, 0x00FF0000u);
        // With no category, a swatch changes nothing.
        page->SendDlgItemMessage(IDC_COLOR_CATEGORY, LB_SETCURSEL, static_cast<WPARAM>(-1));
        Click(page, IDC_SWATCH2);
        EXPECT_FALSE(CanApply(sheet));
        // The defaults after another colour: red for picked-up IDs again.
        Click(page, IDC_DEFAULT_COLORS);
        EXPECT_TRUE(CanApply(sheet));
        Click(sheet, IDOK);
    });
    EXPECT_EQ(view->m_clrPickupText, 0x000000FFu);
    EXPECT_EQ(view->m_clrBack, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(view->m_clrNormalText, GetSysColor(COLOR_WINDOWTEXT));
}

TEST_F(OptionsTest, EveryPageIsDrawnInsideTheSheetWithItsControls) {
    Open(listview_test::kThree);
    TestPictures pictures;
    RunSheet([&](CPropertySheet* sheet) {
        for (int i = 0; i < sheet->GetPageCount(); ++i) {
            Show(sheet, i);
            SCOPED_TRACE("page " + std::to_string(i));
            // The sheet's buttons and the controls of the page shown, each where it is placed.
            ExpectControlsDrawn(pictures.Take(sheet, "options-" + std::to_string(i)),
                                sheet->GetWidget());
            // The page lies inside the sheet, above its buttons.
            QWidget* page = sheet->GetActivePage()->GetWidget();
            const QRect inSheet(page->mapTo(sheet->GetWidget(), QPoint(0, 0)), page->size());
            EXPECT_TRUE(sheet->GetWidget()->rect().contains(inSheet));
            EXPECT_LT(inSheet.bottom(), sheet->GetDlgItem(IDOK)->GetWidget()->geometry().top());
        }
        Click(sheet, IDCANCEL);
    });
}
