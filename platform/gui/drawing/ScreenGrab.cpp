#include "platform/gui/drawing/ScreenGrab.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include "platform/gui/window/CWnd.h"

bool AfxGrabScreen(int argc, char** argv, const char* pngPath) {
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return false;
    const QPixmap picture = screen->grabWindow(0);
    return !picture.isNull() && picture.save(QString::fromLocal8Bit(pngPath), "PNG");
}

bool AfxGrabWindow(CWnd* pWnd, const char* pngPath) {
    QWidget* widget = pWnd ? pWnd->GetWidget() : nullptr;
    if (!widget) return false;
    const QPixmap picture = widget->grab();
    return !picture.isNull() && picture.save(QString::fromLocal8Bit(pngPath), "PNG");
}
