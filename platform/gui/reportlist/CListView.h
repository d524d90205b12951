// A view whose window is a list view control. Notifications of the list come back to the view's
// own message map (ON_NOTIFY_REFLECT); an owner-drawn list (LVS_OWNERDRAWFIXED) calls DrawItem
// for each row in sight.
#pragma once

#include "platform/gui/document/CView.h"
#include "platform/gui/reportlist/CListCtrl.h"

class CListView : public CView {
public:
    CListView();
    ~CListView() override;

    CListCtrl& GetListCtrl() const;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL CreateViewWindow(CWnd* pParentWnd, UINT nID, void* pContext) override;
    // Draws one row of an owner-drawn list; hDC is a CDC's handle, good for this call only.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    // A rectangle of the window (as from GetItemRect) to draw again.
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);

protected:
    DECLARE_MESSAGE_MAP()
protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    mutable CListCtrl m_listCtrl;
};
