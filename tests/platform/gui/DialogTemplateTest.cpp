// Every dialog template built as the program shows it: each control present, of its kind, with
// its text, shown or hidden as the template says, where the template puts it, and drawn there in
// a picture of the dialog.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/base/ResourceTables.h"
#include "platform/base/WinStyles.h"
#include "platform/gui/dialog/CDialog.h"
#include "platform/gui/window/UiHooks.h"
#include "res/resource.h"
#include "tests/support/TestPictures.h"
#include "tests/support/TestSupport.h"

namespace {

// The text a widget shows for a template text: mnemonics are drawn, not shown as "&", unless
// the label has nothing to move to.
std::string Expected(const char* utf8) {
    return utf8 ? utf8 : "";
}

std::string ShownText(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text().toStdString();
    if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title().toStdString();
    return {};
}

bool KindMatches(const afx_res::DialogItem& item, QWidget* w) {
    switch (item.kind) {
        case afx_res::DlgCtl::Static:
            return qobject_cast<QLabel*>(w) != nullptr;
        case afx_res::DlgCtl::Edit:
            return qobject_cast<QLineEdit*>(w) != nullptr;
        case afx_res::DlgCtl::ListBox:
            return qobject_cast<QListWidget*>(w) != nullptr;
        case afx_res::DlgCtl::ComboBox:
            return qobject_cast<QComboBox*>(w) != nullptr ||
                   (w->findChild<QLineEdit*>() && w->findChild<QListWidget*>());
        case afx_res::DlgCtl::UpDown:
            return w->findChildren<QAbstractButton*>().size() == 2;
        case afx_res::DlgCtl::HotKey:
            return qobject_cast<QLineEdit*>(w) != nullptr;
        case afx_res::DlgCtl::ListView:
            return qobject_cast<QAbstractScrollArea*>(w) != nullptr;
        case afx_res::DlgCtl::Button:
            switch (item.style & afx_res::BS_TYPEMASK) {
                case afx_res::BS_GROUPBOX:
                    return qobject_cast<QGroupBox*>(w) != nullptr;
                case afx_res::BS_AUTOCHECKBOX:
                    return qobject_cast<QCheckBox*>(w) != nullptr;
                case afx_res::BS_AUTORADIOBUTTON:
                    return qobject_cast<QRadioButton*>(w) != nullptr;
                default: {
                    auto* push = qobject_cast<QPushButton*>(w);
                    return push && push->isDefault() == ((item.style & afx_res::BS_TYPEMASK) ==
                                                         afx_res::BS_DEFPUSHBUTTON);
                }
            }
    }
    return false;
}

class DialogTemplateTest : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        afx_ui::EnsureApplication();
    }
    testing_support::TestPictures pictures;
};

}  // namespace

TEST_P(DialogTemplateTest, EveryControlIsThereWithItsTextAsTheTemplateSays) {
    const afx_res::DialogResource* resource = afx_res::FindDialog(GetParam());
    ASSERT_NE(resource, nullptr);
    CDialog dlg(GetParam());
    ASSERT_TRUE(dlg.Create(GetParam()));
    QWidget* window = dlg.GetWidget();
    // Taken first, so that a failure below has it to show.
    const QImage picture = pictures.Take(&dlg, "dialog-" + std::to_string(GetParam()));
    ASSERT_FALSE(picture.isNull());
    const QRgb face = testing_support::MostCommonColour(picture, picture.rect());
    EXPECT_GT(testing_support::PixelsOtherThan(picture, picture.rect(), face), 0);
    EXPECT_EQ(window->windowTitle().toStdString(), resource->caption);
    EXPECT_GT(window->width(), resource->cx);  // a dialog unit is more than a pixel

    // The widgets of the controls, in the order they were made, one per template item.
    std::vector<QWidget*> byOrder(resource->count, nullptr);
    std::size_t widgets = 0;
    for (QObject* child : window->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w) continue;
        ++widgets;
        const int index = w->property("templateItem").toInt();
        ASSERT_TRUE(index >= 0 && static_cast<std::size_t>(index) < resource->count);
        byOrder[static_cast<std::size_t>(index)] = w;
    }
    ASSERT_EQ(widgets, resource->count);
    for (std::size_t i = 0; i < resource->count; ++i) {
        const afx_res::DialogItem& item = resource->items[i];
        SCOPED_TRACE("control " + std::to_string(item.id) + " at " + std::to_string(i));
        ASSERT_NE(byOrder[i], nullptr);
        if (item.id != afx_res::IDC_STATIC) {
            CWnd* control = dlg.GetDlgItem(static_cast<int>(item.id));
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(control->GetWidget(), byOrder[i]);
            if (item.utf8 && item.kind != afx_res::DlgCtl::Edit) {
                EXPECT_EQ(testing_support::Utf8(control->GetWindowText()), item.utf8);
            }
        }
        QWidget* w = byOrder[i];
        EXPECT_TRUE(KindMatches(item, w));
        EXPECT_EQ(!w->isHidden(), (item.style & afx_res::WS_VISIBLE) != 0);
        const bool ownerDrawn = item.kind == afx_res::DlgCtl::Button &&
                                (item.style & afx_res::BS_TYPEMASK) == afx_res::BS_OWNERDRAW;
        const bool icon = item.kind == afx_res::DlgCtl::Static &&
                          (item.style & afx_res::SS_TYPEMASK) == afx_res::SS_ICON;
        if (icon) {
            EXPECT_EQ(ShownText(w), "");  // a picture, not the resource id
        } else if (!ownerDrawn &&
                   (item.kind == afx_res::DlgCtl::Button || item.kind == afx_res::DlgCtl::Static)) {
            EXPECT_EQ(ShownText(w), Expected(item.utf8));
        }
        // Every control stays inside the dialog.
        EXPECT_TRUE(window->rect().contains(w->geometry())) << "outside the dialog";
        // And is drawn where it is placed: all but a label with no text and a button its
        // dialog draws, which a plain dialog leaves as its face.
        const bool blankLabel =
            item.kind == afx_res::DlgCtl::Static && !icon && (!item.utf8 || !*item.utf8);
        if (!w->isHidden() && !ownerDrawn && !blankLabel) {
            EXPECT_GT(testing_support::PixelsOtherThan(
                          picture, testing_support::AreaOf(picture, window, w), face),
                      0)
                << "nothing drawn where the control is placed";
        }
    }
    dlg.DestroyWindow();
    afx_ui::ProcessEvents();
}

INSTANTIATE_TEST_SUITE_P(Templates, DialogTemplateTest,
                         ::testing::Values(IDD_ABOUTBOX, IDD_PERSONAL_DATA, IDD_REGIST_ID,
                                           IDD_SPECIFY_DATE, IDD_SPECIFY_KEYWORD, IDD_SEND_FORMAT,
                                           IDD_PROPERTY_ENVIRON, IDD_PROPERTY_VIEW,
                                           IDD_PROPERTY_PICKUP, IDD_PROPERTY_HELPER,
                                           IDD_PROPERTY_COLOR, IDD_NO_PICKUP_ID, IDD_FONT));
