#include "platform/gui/reportlist/CListCtrl.h"

#include <algorithm>

#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/drawing/CImageList.h"
#include "platform/gui/reportlist/CListView.h"

CListCtrl::CListCtrl() = default;

CListCtrl::~CListCtrl() {
    // The window belongs to the view; the base must not let it go.
    if (m_pView) {
        m_hWnd = nullptr;
        m_pWidget = nullptr;
    }
}

void CListCtrl::AttachTo(CListView* pView) {
    m_pView = pView;
    m_hWnd = pView->GetSafeHwnd();
    m_pWidget = pView->GetWidget();
    m_nID = pView->GetDlgCtrlID();
    m_pParentWnd = pView->GetParent();
}

LRESULT CListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Through the view's message map first, as a message to the window would go.
    if (m_pView) return m_pView->SendMessage(message, wParam, lParam);
    // A dialog's list control this object took over.
    if (message == WM_REFLECT_BASE + WM_DRAWITEM && lParam) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        return TRUE;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CListCtrl::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return const_cast<CListCtrl*>(this)->SendMessage(message, wParam, lParam);
}

namespace {
template <class T>
LPARAM Ptr(T* p) {
    return reinterpret_cast<LPARAM>(p);
}
WPARAM Index(int n) {
    return static_cast<WPARAM>(static_cast<INT_PTR>(n));
}
}  // namespace

int CListCtrl::InsertColumn(int nCol, const LVCOLUMN* pColumn) {
    return static_cast<int>(Send(LVM_INSERTCOLUMN, Index(nCol), Ptr(pColumn)));
}

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth,
                            int nSubItem) {
    LVCOLUMN column;
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.pszText = const_cast<LPSTR>(lpszColumnHeading);
    column.fmt = nFormat;
    if (nWidth != -1) {
        column.mask |= LVCF_WIDTH;
        column.cx = nWidth;
    }
    if (nSubItem != -1) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = nSubItem;
    }
    return InsertColumn(nCol, &column);
}

BOOL CListCtrl::DeleteColumn(int nCol) {
    return static_cast<BOOL>(Send(LVM_DELETECOLUMN, Index(nCol)));
}

BOOL CListCtrl::GetColumn(int nCol, LVCOLUMN* pColumn) const {
    return static_cast<BOOL>(Send(LVM_GETCOLUMN, Index(nCol), Ptr(pColumn)));
}

BOOL CListCtrl::SetColumn(int nCol, const LVCOLUMN* pColumn) {
    return static_cast<BOOL>(Send(LVM_SETCOLUMN, Index(nCol), Ptr(pColumn)));
}

int CListCtrl::InsertItem(const LVITEM* pItem) {
    return static_cast<int>(Send(LVM_INSERTITEM, 0, Ptr(pItem)));
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
    LVITEM item;
    item.mask = LVIF_TEXT;
    item.iItem = nItem;
    item.pszText = const_cast<LPSTR>(lpszItem);
    return InsertItem(&item);
}

BOOL CListCtrl::DeleteItem(int nItem) {
    return static_cast<BOOL>(Send(LVM_DELETEITEM, Index(nItem)));
}

BOOL CListCtrl::DeleteItems(const std::vector<int>& rows) {
    return static_cast<BOOL>(
        Send(LVM_DELETEITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data())));
}

BOOL CListCtrl::DeleteAllItems() {
    return static_cast<BOOL>(Send(LVM_DELETEALLITEMS));
}

int CListCtrl::AppendItems(std::span<const LPARAM> data) {
    return static_cast<int>(
        Send(LVM_APPENDITEMS, data.size(), reinterpret_cast<LPARAM>(data.data())));
}

std::vector<LPARAM> CListCtrl::GetItemDatas(BOOL bSelectedOnly) const {
    std::vector<LPARAM> data;
    Send(LVM_GETITEMDATAS, bSelectedOnly ? LVNI_SELECTED : LVNI_ALL, Ptr(&data));
    return data;
}

BOOL CListCtrl::ReorderItems(std::span<const int> order) {
    return static_cast<BOOL>(
        Send(LVM_REORDERITEMS, order.size(), reinterpret_cast<LPARAM>(order.data())));
}

int CListCtrl::GetItemCount() const {
    return static_cast<int>(Send(LVM_GETITEMCOUNT));
}

BOOL CListCtrl::GetItem(LVITEM* pItem) const {
    return static_cast<BOOL>(Send(LVM_GETITEM, 0, Ptr(pItem)));
}

BOOL CListCtrl::SetItem(const LVITEM* pItem) {
    return static_cast<BOOL>(Send(LVM_SETITEM, 0, Ptr(pItem)));
}

LPARAM CListCtrl::GetItemData(int nItem) const {
    LVITEM item;
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    return GetItem(&item) ? item.lParam : 0;
}

BOOL CListCtrl::SetItemData(int nItem, LPARAM dwData) {
    LVITEM item;
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    item.lParam = dwData;
    return SetItem(&item);
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
    LVITEM item;
    item.state = nState;
    item.stateMask = nMask;
    return static_cast<BOOL>(Send(LVM_SETITEMSTATE, Index(nItem), Ptr(&item)));
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const {
    return static_cast<UINT>(Send(LVM_GETITEMSTATE, Index(nItem), static_cast<LPARAM>(nMask)));
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const {
    return static_cast<int>(Send(LVM_GETNEXTITEM, Index(nItem), nFlags));
}

UINT CListCtrl::GetSelectedCount() const {
    return static_cast<UINT>(Send(LVM_GETSELECTEDCOUNT));
}

int CListCtrl::FindItem(LVFINDINFO* pFindInfo, int nStart) const {
    return static_cast<int>(Send(LVM_FINDITEM, Index(nStart), Ptr(pFindInfo)));
}

int CListCtrl::FindItemByData(LPARAM dwData) const {
    LVFINDINFO find;
    find.flags = LVFI_PARAM;
    find.lParam = dwData;
    return FindItem(&find, -1);
}

void CListCtrl::FindItemsByData(std::span<const LPARAM> data, std::span<int> rows) const {
    const std::size_t n = std::min(data.size(), rows.size());
    if (n == 0) return;
    LVFINDITEMS find;
    find.data = data.data();
    find.rows = rows.data();
    if (!Send(LVM_FINDITEMSBYDATA, static_cast<WPARAM>(n), Ptr(&find)))
        std::fill(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(n), -1);
}

BOOL CListCtrl::SortItems(PFNLVCOMPARE pfnCompare, LPARAM dwData) {
    return static_cast<BOOL>(
        Send(LVM_SORTITEMS, static_cast<WPARAM>(dwData), reinterpret_cast<LPARAM>(pfnCompare)));
}

BOOL CListCtrl::EnsureVisible(int nItem, BOOL bPartialOK) {
    return static_cast<BOOL>(Send(LVM_ENSUREVISIBLE, Index(nItem), bPartialOK));
}

int CListCtrl::GetTopIndex() const {
    return static_cast<int>(Send(LVM_GETTOPINDEX));
}

int CListCtrl::GetCountPerPage() const {
    return static_cast<int>(Send(LVM_GETCOUNTPERPAGE));
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const {
    if (!lpRect) return FALSE;
    lpRect->left = static_cast<LONG>(nCode);
    return static_cast<BOOL>(Send(LVM_GETITEMRECT, Index(nItem), Ptr(lpRect)));
}

BOOL CListCtrl::RedrawItems(int nFirst, int nLast) {
    return static_cast<BOOL>(Send(LVM_REDRAWITEMS, Index(nFirst), nLast));
}

COLORREF CListCtrl::GetBkColor() const {
    return static_cast<COLORREF>(Send(LVM_GETBKCOLOR));
}

BOOL CListCtrl::SetBkColor(COLORREF cr) {
    return static_cast<BOOL>(Send(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(cr)));
}

CImageList* CListCtrl::SetImageList(CImageList* pImageList, int nImageListType) {
    const HIMAGELIST handle = pImageList ? pImageList->GetSafeHandle() : nullptr;
    const LRESULT old = Send(LVM_SETIMAGELIST, Index(nImageListType), Ptr(handle));
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(old));
}

CImageList* CListCtrl::GetImageList(int nImageListType) const {
    return CImageList::FromHandle(
        reinterpret_cast<HIMAGELIST>(Send(LVM_GETIMAGELIST, Index(nImageListType))));
}
