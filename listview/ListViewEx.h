// A report list that draws every row itself over its full width, in three user-chosen colours,
// asking its derived view for each cell's text and each row's image, and cutting over-long
// cell texts with a trailing ellipsis.
#pragma once

#include "platform/gui/drawing/Colors.h"
#include "platform/gui/reportlist/CListView.h"

class CDC;

class CListViewEx : public CListView {
    DECLARE_DYNCREATE(CListViewEx)
public:
    CListViewEx();
    ~CListViewEx() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    // Shortens the text so that it fits into nWidth pixels: its first characters followed by
    // "...  ". A text exactly as wide as nWidth is shortened too.
    static void FitText(CDC* pDC, CString& rText, int nWidth);
    // Draws one row of an owner-drawn report list in three colours, over every column. The row's
    // image and cell texts are asked of pAnswer with LVN_GETDISPINFO (from the list).
    static void DrawRow(CListCtrl& list, LPDRAWITEMSTRUCT lpDrawItemStruct, COLORREF clrNormalText,
                        COLORREF clrPickupText, COLORREF clrBack, CWnd* pAnswer);

    COLORREF m_clrNormalText;
    COLORREF m_clrPickupText;
    COLORREF m_clrBack;

protected:
    DECLARE_MESSAGE_MAP()
protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);

private:
    void InvalidateFocusedRow();
};
