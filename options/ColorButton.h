// A swatch of the colour page: a push button that draws itself in its colour.
#pragma once

#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/drawing/Colors.h"

class CColorButton : public CButton {
public:
    // Filled with m_clr; framed in black with the focus, and once more inside while pressed.
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    COLORREF m_clr = 0;
};
