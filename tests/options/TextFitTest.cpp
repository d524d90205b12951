// Every text of every dialog and page is shown whole with the program's Japanese default font:
// no label, button or group title wider than the room its control gives it, and every tab of a
// sheet in view. Run twice by CTest: at the screen's own scale and with QT_SCALE_FACTOR=2.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <cstdlib>
#include <string>

#include "app/VelkonApp.h"
#include "platform/gui/application/JapaneseDesktop.h"
#include "platform/gui/dialog/CDialog.h"
#include "platform/gui/dialog/CPropertySheet.h"
#include "res/resource.h"
#include "tests/listview/ListViewFixture.h"
#include "tests/support/DialogDriver.h"

using namespace testing_support;

namespace {

// The text as drawn: a mnemonic's "&" is an underline, "&&" one "&".
QString Drawn(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

std::string Name(QWidget* w, const QString& text) {
    return std::string(w->metaObject()->className()) + " \"" + text.toStdString() + "\"";
}

// Fails for each control of `window` whose text needs more room than the control gives it.
void ExpectTextsFit(QWidget* window) {
    for (QWidget* w : window->findChildren<QWidget*>()) {
        // A place holder without room (the font dialog's sample) shows nothing.
        if (w->width() <= 0 || w->height() <= 0) continue;
        const QFontMetrics fm(w->font());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            const QString text = Drawn(label->text());
            if (text.isEmpty()) continue;
            const QRect room = label->contentsRect();
            if (label->wordWrap()) {
                const QRect needed = fm.boundingRect(room, Qt::TextWordWrap, text);
                EXPECT_LE(needed.height(), room.height()) << Name(w, text) << " wraps below";
            } else {
                EXPECT_LE(fm.horizontalAdvance(text), room.width()) << Name(w, text);
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            const QString text = Drawn(button->text());
            if (text.isEmpty()) continue;
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            QStyle::SubElement contents = QStyle::SE_PushButtonContents;
            if (qobject_cast<QCheckBox*>(w)) contents = QStyle::SE_CheckBoxContents;
            if (qobject_cast<QRadioButton*>(w)) contents = QStyle::SE_RadioButtonContents;
            if (contents == QStyle::SE_PushButtonContents && !qobject_cast<QPushButton*>(w))
                continue;  // the arrows of up-down controls and tab bars
            const QRect room = w->style()->subElementRect(contents, &option, w);
            EXPECT_LE(fm.horizontalAdvance(text), room.width()) << Name(w, text);
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            const QString text = Drawn(group->title());
            if (text.isEmpty()) continue;
            QStyleOptionGroupBox option;
            option.initFrom(group);
            option.text = group->title();
            option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            option.textAlignment = group->alignment();
            const QRect title = w->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                           QStyle::SC_GroupBoxLabel, w);
            EXPECT_TRUE(w->rect().contains(title)) << Name(w, text);
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                const QRect tab = tabs->tabRect(i);
                EXPECT_TRUE(tabs->rect().contains(tab)) << Name(w, tabs->tabText(i)) << " hidden";
                EXPECT_GE(tab.width(), fm.horizontalAdvance(Drawn(tabs->tabText(i))))
                    << Name(w, tabs->tabText(i));
            }
            // No arrows to scroll to a tab out of view.
            for (QAbstractButton* arrow : tabs->findChildren<QAbstractButton*>())
                EXPECT_FALSE(arrow->isVisible()) << "scroll arrows on the tabs";
            // The tab bar itself lies inside its window.
            const QRect inWindow(tabs->mapTo(window, QPoint(0, 0)), tabs->size());
            EXPECT_TRUE(window->rect().contains(inWindow)) << "tabs beyond the window";
        }
    }
}

// The scale the test runs at is the one asked for, and the font the Japanese one.
void ExpectScaleAndFont() {
    const char* factor = std::getenv("QT_SCALE_FACTOR");
    const double expected = factor && *factor ? std::atof(factor) : 1.0;
    EXPECT_DOUBLE_EQ(qApp->devicePixelRatio(), expected);
    const QString family = afx_ui::JapaneseFontFamily();
    ASSERT_FALSE(family.isEmpty()) << "no Japanese font installed";
    EXPECT_EQ(QApplication::font().family(), family);
}

class TemplateTextTest : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        afx_ui::EnsureApplication();
    }
};

class SheetTextTest : public listview_test::ListViewTest {
protected:
    std::unique_ptr<CWinApp> MakeApp() const override { return std::make_unique<CVelkonApp>(); }
};

}  // namespace

TEST_P(TemplateTextTest, EveryTextFitsItsControl) {
    ExpectScaleAndFont();
    CDialog dlg(GetParam());
    ASSERT_TRUE(dlg.Create(GetParam()));
    ExpectTextsFit(dlg.GetWidget());
    dlg.DestroyWindow();
    afx_ui::ProcessEvents();
}

INSTANTIATE_TEST_SUITE_P(Templates, TemplateTextTest,
                         ::testing::Values(IDD_ABOUTBOX, IDD_PERSONAL_DATA, IDD_REGIST_ID,
                                           IDD_SPECIFY_DATE, IDD_SPECIFY_KEYWORD, IDD_SEND_FORMAT,
                                           IDD_PROPERTY_ENVIRON, IDD_PROPERTY_VIEW,
                                           IDD_PROPERTY_PICKUP, IDD_PROPERTY_HELPER,
                                           IDD_PROPERTY_COLOR, IDD_NO_PICKUP_ID, IDD_FONT));

// The options sheet as the program runs it: its texts filled in, every tab in view.
TEST_F(SheetTextTest, TheOptionsSheetShowsEveryTabAndEveryText) {
    ExpectScaleAndFont();
    Open(listview_test::kThree);
    DialogScript script;
    script.Then([&](CDialog* d) {
        auto* sheet = dynamic_cast<CPropertySheet*>(d);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->GetPageCount(), 5);
        for (int i = 0; i < sheet->GetPageCount(); ++i) {
            SCOPED_TRACE("page " + std::to_string(i));
            ASSERT_TRUE(sheet->SetActivePage(i));
            afx_ui::ProcessEvents();
            ExpectTextsFit(sheet->GetWidget());
        }
        Click(sheet, IDCANCEL);
    });
    frame->RunCommand(ID_OPTIONS);
    EXPECT_EQ(script.Shown(), 1);
}
