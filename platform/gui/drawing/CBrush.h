// Solid brushes, for filling rectangles.
#pragma once

#include "platform/base/WinTypes.h"
#include "platform/gui/drawing/Colors.h"

class CBrush : public CObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
    BOOL CreateSolidBrush(COLORREF crColor) {
        m_color = crColor;
        m_bCreated = true;
        return TRUE;
    }
    BOOL DeleteObject() {
        const bool wasCreated = m_bCreated;
        m_bCreated = false;
        return wasCreated ? TRUE : FALSE;
    }
    // A brush that was never created (or was deleted) paints nothing.
    bool IsCreated() const { return m_bCreated; }
    COLORREF GetColor() const { return m_color; }

private:
    COLORREF m_color = 0;
    bool m_bCreated = false;
};
