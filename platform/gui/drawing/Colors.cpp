#include "platform/gui/drawing/Colors.h"

#include <QApplication>
#include <QPalette>

#include "platform/gui/drawing/GdiToQt.h"

namespace {

COLORREF ClassicColor(int nIndex) {
    switch (nIndex) {
        case COLOR_WINDOW:
            return RGB(255, 255, 255);
        case COLOR_WINDOWTEXT:
            return RGB(0, 0, 0);
        case COLOR_HIGHLIGHT:
            return RGB(0, 0, 128);
        case COLOR_HIGHLIGHTTEXT:
            return RGB(255, 255, 255);
        case COLOR_BTNFACE:
            return RGB(192, 192, 192);
        case COLOR_BTNSHADOW:
            return RGB(128, 128, 128);
        case COLOR_GRAYTEXT:
            return RGB(128, 128, 128);
        case COLOR_BTNTEXT:
            return RGB(0, 0, 0);
        case COLOR_BTNHIGHLIGHT:
            return RGB(255, 255, 255);
        case COLOR_3DDKSHADOW:
            return RGB(0, 0, 0);
        default:
            return 0;
    }
}

}  // namespace

COLORREF GetSysColor(int nIndex) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return ClassicColor(nIndex);
    const QPalette palette = QApplication::palette();
    switch (nIndex) {
        case COLOR_WINDOW:
            return FromQColor(palette.color(QPalette::Active, QPalette::Base));
        case COLOR_WINDOWTEXT:
            return FromQColor(palette.color(QPalette::Active, QPalette::Text));
        case COLOR_HIGHLIGHT:
            return FromQColor(palette.color(QPalette::Active, QPalette::Highlight));
        case COLOR_HIGHLIGHTTEXT:
            return FromQColor(palette.color(QPalette::Active, QPalette::HighlightedText));
        case COLOR_BTNFACE:
            return FromQColor(palette.color(QPalette::Active, QPalette::Button));
        case COLOR_BTNSHADOW:
            return FromQColor(palette.color(QPalette::Active, QPalette::Dark));
        case COLOR_GRAYTEXT:
            return FromQColor(palette.color(QPalette::Disabled, QPalette::Text));
        case COLOR_BTNTEXT:
            return FromQColor(palette.color(QPalette::Active, QPalette::ButtonText));
        case COLOR_BTNHIGHLIGHT:
            return FromQColor(palette.color(QPalette::Active, QPalette::Light));
        case COLOR_3DDKSHADOW:
            return FromQColor(palette.color(QPalette::Active, QPalette::Shadow));
        default:
            return 0;
    }
}
