// Help mode (Shift+F1, the context help tool button) and F1 on an open menu. One filter on the
// whole program sees the mouse and the keys before any window does: in help mode the next click
// is taken from the window it was meant for and turned into the help context of what was
// clicked; menus still open, and the command chosen in one shows its topic (CFrameWnd routes
// commands to help while the mode lasts).
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QToolButton>

#include "platform/gui/application/CWinApp.h"
#include "platform/gui/frame/CControlBar.h"
#include "platform/gui/frame/CFrameWnd.h"
#include "platform/gui/help/AfxHelp.h"
#include "platform/gui/window/UiHooks.h"
#include "platform/gui/window/WidgetBridge.h"

namespace afx_help {
namespace {

HWND g_helpFrame = nullptr;  // the frame in help mode
bool g_swallowRelease = false;

UINT CommandOf(const QAction* action) {
    if (!action || action->isSeparator() || action->menu()) return 0;
    bool ok = false;
    const UINT id = action->data().toUInt(&ok);
    return ok ? id : 0;
}

CWnd* WindowOfWidget(const QWidget* widget) {
    CWnd* wnd = CWndBridge::WindowOf(widget);
    // The object that took the window over answers for it.
    return wnd ? CWnd::FromHandle(wnd->GetSafeHwnd()) : nullptr;
}

// The help context of what is at a point of the screen, from the widget there outwards: a tool
// button is its command, enabled or not; a window says its own (WM_HELPHITTEST); a bar with
// nothing to say is the bar; 0 leaves it to the frame.
DWORD HitTest(QWidget* widget, const QPoint& global) {
    for (QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (auto* button = qobject_cast<QToolButton*>(w))
            if (const UINT id = CommandOf(button->defaultAction())) return HID_BASE_COMMAND + id;
        CWnd* wnd = WindowOfWidget(w);
        if (!wnd) continue;
        const QPoint local = w->mapFromGlobal(global);
        const LRESULT context = wnd->SendMessage(
            WM_HELPHITTEST, 0,
            MAKELPARAM(static_cast<WORD>(local.x()), static_cast<WORD>(local.y())));
        if (context) return static_cast<DWORD>(context);
        if (auto* bar = dynamic_cast<CControlBar*>(wnd))
            return HID_BASE_CONTROL + bar->GetDlgCtrlID();
        if (dynamic_cast<CFrameWnd*>(wnd)) return 0;
    }
    return 0;
}

void CloseMenus() {
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
}

class HelpFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
                return OnKey(watched, static_cast<QKeyEvent*>(event));
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                return InHelpMode() && watched->isWidgetType() &&
                       OnClick(static_cast<QWidget*>(watched), static_cast<QMouseEvent*>(event));
            case QEvent::MouseButtonRelease:
                if (g_swallowRelease && watched->isWidgetType()) {
                    g_swallowRelease = false;
                    return true;
                }
                return false;
            case QEvent::Show:
                // Every item of a menu opened in help mode can be chosen: its help is wanted,
                // not the command.
                if (InHelpMode())
                    if (auto* menu = qobject_cast<QMenu*>(watched))
                        for (QAction* a : menu->actions())
                            if (CommandOf(a)) a->setEnabled(true);
                return false;
            default:
                return false;
        }
    }

private:
    static bool OnKey(QObject* watched, QKeyEvent* key) {
        auto* menu = qobject_cast<QMenu*>(watched);
        if (menu && key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            const UINT id = CommandOf(menu->activeAction());
            if (!id) return false;
            CloseMenus();
            EndHelpMode();
            if (CWinApp* app = AfxGetApp()) app->WinHelp(HID_BASE_COMMAND + id);
            return true;
        }
        if (!menu && InHelpMode() && key->key() == Qt::Key_Escape) {
            EndHelpMode();
            return true;
        }
        return false;
    }

    static bool OnClick(QWidget* widget, QMouseEvent* mouse) {
        // Menus open as usual; what is chosen in them comes back as a command.
        if (qobject_cast<QMenu*>(widget) || qobject_cast<QMenuBar*>(widget)) return false;
        g_swallowRelease = true;
        auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(g_helpFrame));
        const bool onFrame =
            frame && frame->GetWidget() && widget->window() == frame->GetWidget()->window();
        // A click elsewhere, or with another button, only ends the mode.
        if (!onFrame || mouse->button() != Qt::LeftButton) {
            EndHelpMode();
            return true;
        }
        const DWORD context = HitTest(widget, mouse->globalPosition().toPoint());
        EndHelpMode();
        if (!context || !frame->SendMessage(WM_COMMANDHELP, 0, static_cast<LPARAM>(context)))
            frame->SendMessage(WM_COMMANDHELP, 0, 0);
        return true;
    }
};

QPointer<HelpFilter> g_filter;

}  // namespace

void WatchMenus() {
    if (g_filter || !afx_ui::HaveGui()) return;
    g_filter = new HelpFilter(qApp);
    qApp->installEventFilter(g_filter);
}

void BeginHelpMode(CFrameWnd* pFrame) {
    if (!pFrame || InHelpMode() || !afx_ui::HaveGui()) return;
    WatchMenus();
    g_helpFrame = pFrame->GetSafeHwnd();
    QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    pFrame->SetMessageText(AFX_IDS_HELPMODEMESSAGE);
    afx_ui::MarkIdleWork();
}

void EndHelpMode() {
    if (!InHelpMode()) return;
    const HWND hFrame = g_helpFrame;
    g_helpFrame = nullptr;
    QApplication::restoreOverrideCursor();
    if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(hFrame)))
        frame->SetMessageText(AFX_IDS_IDLEMESSAGE);
    afx_ui::MarkIdleWork();
}

bool InHelpMode() {
    return g_helpFrame != nullptr;
}

}  // namespace afx_help
