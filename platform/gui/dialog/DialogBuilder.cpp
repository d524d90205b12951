// One builder for every dialog template: the dialog's size and each control from its item,
// with rectangles in dialog units converted by the base units of the dialog's font.
#include <QApplication>
#include <QButtonGroup>
#include <QFontMetrics>

#include "platform/base/WinStyles.h"
#include "platform/gui/dialog/DialogWidget.h"

int DialogUnits::X(int dlu) const {
    return (dlu * baseX + 2) / 4;
}
int DialogUnits::Y(int dlu) const {
    return (dlu * baseY + 4) / 8;
}

QFont DialogFont(const afx_res::DialogResource& resource) {
    QFont font = QApplication::font();
    if (resource.pointSize > 0) font.setPointSize(resource.pointSize);
    return font;
}

DialogUnits DialogUnitsFor(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width of the letters, rounded, as the original system measures it.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    DialogUnits units;
    units.baseX = std::max(1, (letters / 26 + 1) / 2);
    units.baseY = std::max(1, metrics.height());
    return units;
}

namespace {

bool TakesFocus(const afx_res::DialogItem& item) {
    if (item.kind == afx_res::DlgCtl::Static || item.kind == afx_res::DlgCtl::UpDown) return false;
    return !(item.kind == afx_res::DlgCtl::Button &&
             (item.style & afx_res::BS_TYPEMASK) == afx_res::BS_GROUPBOX);
}

}  // namespace

std::vector<std::unique_ptr<CControlWnd>> BuildControls(const afx_res::DialogResource& resource,
                                                        CWnd* pDialog, QWidget* dialogWidget) {
    const QFont font = DialogFont(resource);
    dialogWidget->setFont(font);
    const DialogUnits du = DialogUnitsFor(font);
    dialogWidget->setFixedSize(du.X(resource.cx), du.Y(resource.cy));

    std::vector<std::unique_ptr<CControlWnd>> controls;
    QButtonGroup* radios = nullptr;
    for (std::size_t i = 0; i < resource.count; ++i) {
        const afx_res::DialogItem& item = resource.items[i];
        std::unique_ptr<CControlWnd> control = CControlWnd::Make(item, dialogWidget, pDialog);
        if (!control) continue;
        QWidget* w = control->GetWidget();
        // Which template item a widget stands for, for whoever looks at the widgets (tests).
        w->setProperty("templateItem", static_cast<int>(i));
        // A drop-down combo box's height in the template is that of its open list.
        const bool dropDown =
            item.kind == afx_res::DlgCtl::ComboBox && (item.style & 3) != afx_res::CBS_SIMPLE;
        w->setGeometry(du.X(item.x), du.Y(item.y), du.X(item.cx),
                       dropDown ? w->sizeHint().height() : du.Y(item.cy));
        if (!TakesFocus(item))
            w->setFocusPolicy(Qt::NoFocus);
        else if (!(item.style & afx_res::WS_TABSTOP))
            w->setFocusPolicy(Qt::ClickFocus);
        if (item.style & afx_res::WS_DISABLED) w->setEnabled(false);
        w->setVisible((item.style & afx_res::WS_VISIBLE) != 0);
        // Radio buttons are exclusive within their group: from a button with WS_GROUP to the
        // next control that starts a group.
        if (item.style & afx_res::WS_GROUP) radios = nullptr;
        if (control->IsRadioButton()) {
            if (!radios) radios = new QButtonGroup(dialogWidget);
            control->SetGroup(radios);
        }
        controls.push_back(std::move(control));
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        CControlWnd* control = controls[i].get();
        const afx_res::DialogItem& item = control->Item();
        // A group box lies under the controls it frames.
        if (item.kind == afx_res::DlgCtl::Button &&
            (item.style & afx_res::BS_TYPEMASK) == afx_res::BS_GROUPBOX)
            control->GetWidget()->lower();
        // A label's mnemonic moves to the next control that takes the focus.
        if (item.kind == afx_res::DlgCtl::Static) {
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                if (TakesFocus(controls[j]->Item())) {
                    control->SetBuddy(controls[j].get());
                    break;
                }
            }
        }
        // An up-down control's buddy is the control before it.
        if (item.kind == afx_res::DlgCtl::UpDown && (item.style & afx_res::UDS_AUTOBUDDY) && i > 0)
            control->SetBuddy(controls[i - 1].get());
    }
    return controls;
}
