#include "platform/ScreenGrab.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

bool AfxGrabScreen(int argc, char** argv, const char* pngPath) {
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return false;
    const QPixmap picture = screen->grabWindow(0);
    return !picture.isNull() && picture.save(QString::fromLocal8Bit(pngPath), "PNG");
}
