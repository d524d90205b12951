#include "listview/SampleListCtrl.h"

#include "listview/ListViewEx.h"

void CSampleListCtrl::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    // The dialog holding the sample knows its rows.
    CListViewEx::DrawRow(*this, lpDrawItemStruct, m_clrNormalText, m_clrPickupText, m_clrBack,
                         GetParent());
}
