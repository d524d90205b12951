#include "platform/gui/frame/FrameMenus.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QShortcut>
#include <QStyleOptionMenuItem>

#include "platform/base/AfxRes.h"
#include "platform/base/CodePage.h"
#include "platform/base/ResourceTables.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/frame/CFrameWnd.h"
#include "platform/gui/window/CCmdUI.h"
#include "platform/gui/window/QtText.h"
#include "platform/gui/window/UiHooks.h"

namespace {

QString Utf8(const char* s) {
    return QString::fromUtf8(s);
}
// A menu item's state, applied to its action.
class CActionCmdUI : public CCmdUI {
public:
    explicit CActionCmdUI(QAction* action) : m_action(action) {}
    void Enable(BOOL bOn) override {
        CCmdUI::Enable(bOn);
        m_action->setEnabled(bOn);
    }
    void SetCheck(int nCheck) override {
        CCmdUI::SetCheck(nCheck);
        m_action->setCheckable(true);
        m_action->setChecked(nCheck != 0);
    }

private:
    QAction* m_action;
};

void Connect(QAction* action, UINT id, CFrameWnd* target) {
    action->setData(id);
    const HWND hWnd = target->GetSafeHwnd();
    QObject::connect(action, &QAction::triggered, [hWnd, id] {
        if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(hWnd))) frame->RunCommand(id);
    });
    QObject::connect(action, &QAction::hovered, [hWnd, id] {
        if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(hWnd)))
            frame->SetMessageText(id);
    });
}

QKeySequence KeyOf(const afx_res::AccelEntry& a) {
    int key = 0;
    if (a.key >= 'A' && a.key <= 'Z')
        key = Qt::Key_A + (a.key - 'A');
    else if (a.key >= '0' && a.key <= '9')
        key = Qt::Key_0 + (a.key - '0');
    else if (a.key >= VK_F1 && a.key <= VK_F12)
        key = Qt::Key_F1 + (a.key - VK_F1);
    else if (a.key == VK_DELETE)
        key = Qt::Key_Delete;
    else if (a.key == VK_INSERT)
        key = Qt::Key_Insert;
    else if (a.key == VK_RETURN)
        key = Qt::Key_Return;
    else if (a.key == VK_ESCAPE)
        key = Qt::Key_Escape;
    else if (a.key == VK_TAB)
        key = Qt::Key_Tab;
    else if (a.key == VK_SPACE)
        key = Qt::Key_Space;
    else if (a.key == VK_BACK)
        key = Qt::Key_Backspace;
    if (!key) return {};
    int mods = 0;
    if (a.fVirt & afx_res::FCONTROL) mods |= Qt::CTRL;
    if (a.fVirt & afx_res::FSHIFT) mods |= Qt::SHIFT;
    if (a.fVirt & afx_res::FALT) mods |= Qt::ALT;
    return QKeySequence(key | mods);
}

// The style draws a menu bar's title marked only while its menu is open; with the keyboard in
// the bar (F10) the title it is on is marked the same way, so that the user sees where it is.
class MenuBarStyle : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && item && (item->state & State_Selected) && widget &&
            widget->hasFocus()) {
            QStyleOptionMenuItem marked = *item;
            marked.state |= State_Sunken;
            QProxyStyle::drawControl(element, &marked, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

void PressEscape(QWidget* w) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

// F10 alone: the keyboard goes into the menu bar with its first menu's title marked, and out of
// it again when it is there already. Qt has no call for the bar's keyboard mode, but a menu
// opened from the bar and closed with Esc leaves the bar in it, with that menu's title marked.
void ToggleMenuBarKeyboard(QMenuBar* bar) {
    if (!bar->isVisible()) return;
    if (QApplication::focusWidget() == bar) {
        PressEscape(bar);
        return;
    }
    for (QAction* a : bar->actions()) {
        if (!a->isVisible() || a->isSeparator() || !a->isEnabled() || !a->menu()) continue;
        bar->setActiveAction(a);
        if (QWidget* popup = QApplication::activePopupWidget()) PressEscape(popup);
        return;
    }
}

}  // namespace

void CFrameMenus::Fill(QMenu* menu, UINT nIDResource, int popup, CFrameWnd* pTarget) {
    const afx_res::MenuResource* resource = afx_res::FindMenu(nIDResource);
    if (!resource) return;
    int index = -1;
    std::vector<QMenu*> stack;
    for (std::size_t i = 0; i < resource->count; ++i) {
        const afx_res::MenuEntry& e = resource->entries[i];
        if (e.depth == 0) {
            ++index;
            stack.assign(1, index == popup ? menu : nullptr);
            continue;
        }
        if (static_cast<int>(stack.size()) < e.depth) continue;
        stack.resize(static_cast<std::size_t>(e.depth));
        QMenu* parent = stack.back();
        if (!parent) {
            stack.push_back(nullptr);
            continue;
        }
        if (!e.utf8) {
            parent->addSeparator();
        } else if (e.id == 0) {
            stack.push_back(parent->addMenu(Utf8(e.utf8)));
            continue;
        } else {
            Connect(parent->addAction(Utf8(e.utf8)), e.id, pTarget);
        }
        stack.push_back(nullptr);
    }
}

void CFrameMenus::UpdateMenu(QMenu* menu, CFrameWnd* pTarget) {
    for (QAction* action : menu->actions()) {
        bool ok = false;
        const UINT id = action->data().toUInt(&ok);
        if (!ok || id == 0 || action->isSeparator() || action->menu()) continue;
        CActionCmdUI state(action);
        state.m_nID = id;
        state.DoUpdate(pTarget, TRUE);
    }
}

CFrameMenus::CFrameMenus(CFrameWnd* pFrame, UINT nIDResource)
    : QObject(pFrame->GetWidget()), m_pFrame(pFrame) {
    QMainWindow* window = pFrame->GetMainWindow();
    const afx_res::MenuResource* resource = afx_res::FindMenu(nIDResource);
    if (resource) {
        QMenuBar* bar = window->menuBar();
        for (std::size_t i = 0, popup = 0; i < resource->count; ++i) {
            if (resource->entries[i].depth != 0) continue;
            QMenu* menu = bar->addMenu(Utf8(resource->entries[i].utf8));
            Fill(menu, nIDResource, static_cast<int>(popup++), pFrame);
            for (QAction* a : menu->actions())
                if (a->data().toUInt() == ID_FILE_MRU_FILE1) m_mruPlaceholder = a;
            QObject::connect(menu, &QMenu::aboutToShow, this, [this, menu] {
                UpdateRecentFiles(menu);
                UpdateMenu(menu, m_pFrame);
            });
            QObject::connect(menu, &QMenu::aboutToHide, this,
                             [this] { m_pFrame->SetMessageText(AFX_IDS_IDLEMESSAGE); });
        }
        auto* style = new MenuBarStyle;
        style->setParent(bar);
        bar->setStyle(style);
        auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), window);
        f10->setContext(Qt::WindowShortcut);
        QObject::connect(f10, &QShortcut::activated, bar, [bar] { ToggleMenuBarKeyboard(bar); });
    }
    if (const afx_res::AccelResource* accel = afx_res::FindAccelerators(nIDResource)) {
        const HWND hWnd = pFrame->GetSafeHwnd();
        for (std::size_t i = 0; i < accel->count; ++i) {
            const QKeySequence keys = KeyOf(accel->entries[i]);
            if (keys.isEmpty()) continue;
            auto* shortcut = new QShortcut(keys, window);
            shortcut->setContext(Qt::WindowShortcut);
            const UINT id = accel->entries[i].cmd;
            QObject::connect(shortcut, &QShortcut::activated, [hWnd, id] {
                if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(hWnd)))
                    frame->RunCommand(id);
            });
        }
    }
}

void CFrameMenus::UpdateRecentFiles(QMenu* menu) {
    if (!m_mruPlaceholder || !menu->actions().contains(m_mruPlaceholder)) return;
    for (QAction* a : m_mruActions) delete a;
    m_mruActions.clear();
    CWinApp* app = AfxGetApp();
    const int count = app ? app->GetRecentFileCount() : 0;
    m_mruPlaceholder->setVisible(count == 0);
    for (int i = 0; i < count; ++i) {
        const QString path =
            QFile::decodeName(QByteArray::fromStdString(app->GetRecentFile(i).Str()));
        const QString text = QString("&%1 %2").arg(i + 1).arg(path);
        auto* action = new QAction(text, menu);
        menu->insertAction(m_mruPlaceholder, action);
        Connect(action, ID_FILE_MRU_FILE1 + static_cast<UINT>(i), m_pFrame);
        m_mruActions.push_back(action);
    }
}
