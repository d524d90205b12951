#include "tests/support/DialogDriver.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QToolButton>
#include <utility>

#include "platform/gui/window/WidgetBridge.h"

namespace testing_support {

namespace {

QWidget* WidgetOf(CDialog* dlg, int id) {
    CWnd* control = dlg->GetDlgItem(id);
    EXPECT_NE(control, nullptr) << "no control " << id;
    return control ? control->GetWidget() : nullptr;
}

QLineEdit* EditOf(CDialog* dlg, int id) {
    QWidget* w = WidgetOf(dlg, id);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit;
    return w ? w->findChild<QLineEdit*>() : nullptr;
}

void SendKey(QWidget* target, int key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

}  // namespace

void TypeInto(CDialog* dlg, int id, const char* utf8) {
    QLineEdit* edit = EditOf(dlg, id);
    ASSERT_NE(edit, nullptr) << "no edit field in " << id;
    edit->setFocus();
    edit->end(false);
    const QString text = QString::fromUtf8(utf8);
    for (const QChar ch : text) SendKey(edit, 0, QString(ch));
}

void Retype(CDialog* dlg, int id, const char* utf8) {
    QLineEdit* edit = EditOf(dlg, id);
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    if (!*utf8) {
        SendKey(edit, Qt::Key_Delete);
        return;
    }
    const QString text = QString::fromUtf8(utf8);
    for (const QChar ch : text) SendKey(edit, 0, QString(ch));
}

void Click(CDialog* dlg, int id) {
    auto* button = qobject_cast<QAbstractButton*>(WidgetOf(dlg, id));
    ASSERT_NE(button, nullptr) << id << " is no button";
    button->click();
}

void ClickArrow(CDialog* dlg, int id, bool up) {
    QWidget* w = WidgetOf(dlg, id);
    ASSERT_NE(w, nullptr);
    const auto arrows = w->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    arrows[up ? 0 : 1]->click();
}

void PressKey(CDialog* dlg, int qtKey) {
    QWidget* window = dlg->GetWidget();
    QWidget* focus = window->focusWidget();
    SendKey(focus ? focus : window, qtKey);
}

void PressChord(CDialog* dlg, int id, int qtKey, int qtModifiers) {
    QWidget* w = WidgetOf(dlg, id);
    ASSERT_NE(w, nullptr);
    w->setFocus();
    const auto mods = Qt::KeyboardModifiers(qtModifiers);
    Qt::KeyboardModifiers held;
    const std::pair<Qt::KeyboardModifier, int> order[] = {{Qt::ControlModifier, Qt::Key_Control},
                                                          {Qt::ShiftModifier, Qt::Key_Shift},
                                                          {Qt::AltModifier, Qt::Key_Alt}};
    for (const auto& [mod, key] : order) {
        if (!(mods & mod)) continue;
        held |= mod;
        QKeyEvent press(QEvent::KeyPress, key, held);
        QApplication::sendEvent(w, &press);
    }
    QKeyEvent press(QEvent::KeyPress, qtKey, mods);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods);
    QApplication::sendEvent(w, &release);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    QApplication::sendEvent(w, &up);
}

void ToggleCheck(CDialog* dlg, int id, int row) {
    auto* list = qobject_cast<QListWidget*>(WidgetOf(dlg, id));
    ASSERT_NE(list, nullptr) << id << " is no list box";
    ASSERT_LT(row, list->count());
    PickRow(dlg, id, row);
    QListWidgetItem* item = list->item(row);
    ASSERT_TRUE(item->flags() & Qt::ItemIsUserCheckable) << "line " << row << " has no check box";
    item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void PickRow(CDialog* dlg, int id, int row, bool doubleClick) {
    QWidget* w = WidgetOf(dlg, id);
    auto* list = qobject_cast<QListWidget*>(w);
    if (!list && w) list = w->findChild<QListWidget*>();
    ASSERT_NE(list, nullptr) << id << " has no list";
    ASSERT_LT(row, list->count());
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QWidget* viewport = list->viewport();
    auto mouse = [&](QEvent::Type type) {
        QMouseEvent e(type, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(viewport, &e);
    };
    mouse(QEvent::MouseButtonPress);
    mouse(QEvent::MouseButtonRelease);
    if (doubleClick) {
        mouse(QEvent::MouseButtonDblClick);
        mouse(QEvent::MouseButtonRelease);
    }
}

int FocusedId(CDialog* dlg) {
    for (QWidget* w = dlg->GetWidget()->focusWidget(); w && w != dlg->GetWidget();
         w = w->parentWidget())
        if (CWnd* wnd = CWndBridge::WindowOf(w)) return static_cast<int>(wnd->GetDlgCtrlID());
    return -1;
}

std::string Shown(CDialog* dlg, int id) {
    QWidget* w = WidgetOf(dlg, id);
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text().toStdString();
    if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title().toStdString();
    if (QLineEdit* edit = EditOf(dlg, id)) return edit->text().toStdString();
    return {};
}

bool IsShown(CDialog* dlg, int id) {
    QWidget* w = WidgetOf(dlg, id);
    return w && !w->isHidden();
}

DialogScript::DialogScript() {
    m_previous = AfxSetDialogHook([this](CDialog* dlg) {
        ++m_shown;
        const HWND hWnd = dlg->GetSafeHwnd();
        if (m_steps.empty()) {
            ADD_FAILURE() << "a dialog came up that the test did not expect";
        } else {
            Step step = std::move(m_steps.front());
            m_steps.pop_front();
            step(dlg);
        }
        auto* open = dynamic_cast<CDialog*>(CWnd::FromHandle(hWnd));
        if (open && open->ContinueModal()) {
            ADD_FAILURE() << "the dialog was left open";
            open->EndDialog(IDCANCEL);
        }
    });
}

DialogScript::~DialogScript() {
    EXPECT_TRUE(m_steps.empty()) << m_steps.size() << " dialog steps never ran";
    AfxSetDialogHook(std::move(m_previous));
}

DialogScript& DialogScript::Then(Step step) {
    m_steps.push_back(std::move(step));
    return *this;
}

}  // namespace testing_support
