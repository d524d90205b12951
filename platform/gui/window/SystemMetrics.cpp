#include "platform/gui/window/SystemMetrics.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>

#include "platform/gui/window/UiHooks.h"

int GetSystemMetrics(int nIndex) {
    if (!afx_ui::HaveGui()) return 0;
    const QScreen* screen = QGuiApplication::primaryScreen();
    switch (nIndex) {
        case SM_CXSCREEN:
            return screen ? screen->geometry().width() : 0;
        case SM_CYSCREEN:
            return screen ? screen->geometry().height() : 0;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            // The thin frame of dialogs, which the window manager draws here.
            return 3;
        case SM_CYCAPTION:
            return QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
        case SM_CYMENU: {
            // One line of a menu bar in the menu font.
            static const int height = [] {
                QMenuBar bar;
                bar.addMenu(QStringLiteral("M"));
                return bar.sizeHint().height();
            }();
            return height;
        }
        default:
            return 0;
    }
}
