// The list view control as the program reaches it: each call is the LVM_* message of the same
// name, sent to the window the control stands behind.
#pragma once

#include <span>
#include <vector>

#include "platform/gui/drawing/Colors.h"
#include "platform/gui/reportlist/CommCtrl.h"
#include "platform/gui/window/CWnd.h"

class CImageList;
class CListView;

class CListCtrl : public CWnd {
public:
    CListCtrl();
    ~CListCtrl() override;

    // Columns
    int InsertColumn(int nCol, const LVCOLUMN* pColumn);
    int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT,
                     int nWidth = -1, int nSubItem = -1);
    BOOL DeleteColumn(int nCol);
    BOOL GetColumn(int nCol, LVCOLUMN* pColumn) const;
    BOOL SetColumn(int nCol, const LVCOLUMN* pColumn);

    // Rows
    int InsertItem(const LVITEM* pItem);
    int InsertItem(int nItem, LPCTSTR lpszItem);
    BOOL DeleteItem(int nItem);
    // Many rows at once, in one pass over the list (indexes in any order).
    BOOL DeleteItems(const std::vector<int>& rows);
    BOOL DeleteAllItems();
    // Rows with these item data appended at once, their texts and images asked of the owner;
    // the first new row, or -1.
    int AppendItems(std::span<const LPARAM> data);
    // The item data of every row, or of the selected ones, in row order.
    std::vector<LPARAM> GetItemDatas(BOOL bSelectedOnly) const;
    // Row k becomes the row that was at order[k]; FALSE unless order names each row once.
    BOOL ReorderItems(std::span<const int> order);
    int GetItemCount() const;
    BOOL GetItem(LVITEM* pItem) const;
    BOOL SetItem(const LVITEM* pItem);
    LPARAM GetItemData(int nItem) const;
    BOOL SetItemData(int nItem, LPARAM dwData);
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    UINT GetItemState(int nItem, UINT nMask) const;
    int GetNextItem(int nItem, int nFlags) const;
    UINT GetSelectedCount() const;
    // The first row after nStart: with LVFI_PARAM the one holding the item data, found without
    // walking the rows; with LVFI_STRING the one whose first text matches psz (see above).
    int FindItem(LVFINDINFO* pFindInfo, int nStart = -1) const;
    int FindItemByData(LPARAM dwData) const;
    // FindItemByData for each of data, into rows (as many): one message for all.
    void FindItemsByData(std::span<const LPARAM> data, std::span<int> rows) const;
    BOOL SortItems(PFNLVCOMPARE pfnCompare, LPARAM dwData);

    // Scrolling and drawing
    BOOL EnsureVisible(int nItem, BOOL bPartialOK);
    int GetTopIndex() const;
    int GetCountPerPage() const;
    BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
    BOOL RedrawItems(int nFirst, int nLast);
    COLORREF GetBkColor() const;
    BOOL SetBkColor(COLORREF cr);
    // The list keeps the image list's handle only; the caller keeps the list alive.
    CImageList* SetImageList(CImageList* pImageList, int nImageListType);
    CImageList* GetImageList(int nImageListType) const;

    // Draws one row of an owner-drawn list in a dialog (LVS_OWNERDRAWFIXED), for a class that
    // takes the dialog's list control over (SubclassDlgItem).
    virtual void DrawItem(LPDRAWITEMSTRUCT /*lpDrawItemStruct*/) {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class CListView;
    // The list view this control is the list of: its window and messages are the view's.
    void AttachTo(CListView* pView);
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    CListView* m_pView = nullptr;
};
