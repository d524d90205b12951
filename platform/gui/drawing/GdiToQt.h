// Conversions between the drawing layer's values and Qt's, for platform code.
#pragma once

#include <QColor>
#include <QRect>

#include "platform/base/WinTypes.h"
#include "platform/gui/drawing/Colors.h"

inline QColor ToQColor(COLORREF clr) {
    return QColor(GetRValue(clr), GetGValue(clr), GetBValue(clr));
}
inline COLORREF FromQColor(const QColor& color) {
    return RGB(static_cast<BYTE>(color.red()), static_cast<BYTE>(color.green()),
               static_cast<BYTE>(color.blue()));
}
// RECT's right and bottom lie outside it; QRect's lie inside.
inline QRect ToQRect(const RECT& rc) {
    return QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}
inline RECT FromQRect(const QRect& r) {
    RECT rc;
    rc.left = r.left();
    rc.top = r.top();
    rc.right = r.left() + r.width();
    rc.bottom = r.top() + r.height();
    return rc;
}
