// The colour page's sample of the ID list: a dialog's owner-drawn list that draws its rows
// exactly as the list view does, in three working colours of its own, with its texts and images
// from its dialog.
#pragma once

#include "platform/gui/drawing/Colors.h"
#include "platform/gui/reportlist/CListCtrl.h"

class CSampleListCtrl : public CListCtrl {
public:
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    COLORREF m_clrNormalText = 0;
    COLORREF m_clrPickupText = 0;
    COLORREF m_clrBack = 0;
};
