#include "listview/ListViewEx.h"

#include "platform/base/Mbcs.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/drawing/CBrush.h"
#include "platform/gui/drawing/CDC.h"
#include "platform/gui/drawing/CImageList.h"

namespace {
constexpr const char* kSection = "Color";
constexpr const char* kEllipsis = "...  ";
}  // namespace

IMPLEMENT_DYNCREATE(CListViewEx)

BEGIN_MESSAGE_MAP(CListViewEx, CListView)
ON_WM_CREATE()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

CListViewEx::CListViewEx() {
    CWinApp* app = AfxGetApp();
    auto read = [app](const char* key, COLORREF fallback) {
        return app ? static_cast<COLORREF>(
                         app->GetProfileInt(kSection, key, static_cast<int>(fallback)))
                   : fallback;
    };
    m_clrNormalText = read("Normal Text", GetSysColor(COLOR_WINDOWTEXT));
    m_clrPickupText = read("Pickup Text", RGB(255, 0, 0));
    m_clrBack = read("Back", GetSysColor(COLOR_WINDOW));
}

CListViewEx::~CListViewEx() {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    app->WriteProfileInt(kSection, "Normal Text", static_cast<int>(m_clrNormalText));
    app->WriteProfileInt(kSection, "Pickup Text", static_cast<int>(m_clrPickupText));
    app->WriteProfileInt(kSection, "Back", static_cast<int>(m_clrBack));
}

BOOL CListViewEx::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CListView::PreCreateWindow(cs)) return FALSE;
    cs.style = static_cast<LONG>((static_cast<DWORD>(cs.style) & ~LVS_SMALLICON) | LVS_REPORT |
                                 LVS_OWNERDRAWFIXED);
    return TRUE;
}

int CListViewEx::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CListView::OnCreate(lpCreateStruct) == -1) return -1;
    GetListCtrl().SetBkColor(m_clrBack);
    return 0;
}

namespace {
// Asks pAnswer (LVN_GETDISPINFO from the list) for what item.mask names of item.lParam.
void AskDisplayInfo(CListCtrl& list, CWnd* pAnswer, LVITEM& item) {
    NMLVDISPINFO info;
    info.hdr.hwndFrom = list.GetSafeHwnd();
    info.hdr.idFrom = list.GetDlgCtrlID();
    info.hdr.code = static_cast<UINT>(LVN_GETDISPINFO);
    info.item = item;
    if (pAnswer)
        pAnswer->SendMessage(WM_NOTIFY, list.GetDlgCtrlID(), reinterpret_cast<LPARAM>(&info));
    item = info.item;
}
}  // namespace

void CListViewEx::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
    // The view answers its own list's questions (they come back to it reflected).
    DrawRow(GetListCtrl(), lpDIS, m_clrNormalText, m_clrPickupText, m_clrBack, this);
}

void CListViewEx::DrawRow(CListCtrl& list, LPDRAWITEMSTRUCT lpDIS, COLORREF clrNormalText,
                          COLORREF clrPickupText, COLORREF clrBackground, CWnd* pAnswer) {
    if (lpDIS->CtlType != ODT_LISTVIEW) return;
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const RECT rcItem = lpDIS->rcItem;
    RECT rc = rcItem;
    rc.left += 2;

    const bool selected = (lpDIS->itemState & ODS_SELECTED) != 0;
    COLORREF clrBack = selected ? GetSysColor(COLOR_HIGHLIGHT) : clrBackground;
    COLORREF clrText = selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : clrNormalText;
    const UINT imageStyle = selected ? (ILD_TRANSPARENT | ILD_SELECTED) : ILD_TRANSPARENT;

    LVITEM item;
    item.mask = LVIF_PARAM;
    item.iItem = static_cast<int>(lpDIS->itemID);
    item.iSubItem = 0;
    list.GetItem(&item);
    item.mask = LVIF_IMAGE;
    AskDisplayInfo(list, pAnswer, item);

    if (CImageList* images = list.GetImageList(LVSIL_SMALL)) {
        POINT pt;
        pt.x = rc.left;
        pt.y = rc.top;
        images->Draw(pDC, item.iImage, pt, imageStyle);
        rc.left += 16;
    }
    if (!selected && item.iImage == 0) clrText = clrPickupText;

    pDC->SetTextColor(clrText);
    pDC->SetBkColor(clrBack);
    pDC->SetBkMode(TRANSPARENT);
    CBrush brush(clrBack);
    TEXTMETRIC tm;
    pDC->GetTextMetrics(&tm);

    int x = rc.left;
    for (int i = 0;; ++i) {
        LVCOLUMN column;
        column.mask = LVCF_FMT | LVCF_WIDTH;
        if (!list.GetColumn(i, &column)) break;
        item.mask = LVIF_TEXT;
        item.iSubItem = i;
        item.pszText = nullptr;
        AskDisplayInfo(list, pAnswer, item);

        // The texts are shown as they are stored: an "&" is not a mnemonic here.
        UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT;
        if ((column.fmt & 3) == LVCFMT_RIGHT)
            format = (format & ~DT_LEFT) | DT_RIGHT;
        else if ((column.fmt & 3) == LVCFMT_CENTER)
            format = (format & ~DT_LEFT) | DT_CENTER;

        RECT cell;
        cell.top = rcItem.top;
        cell.bottom = rcItem.bottom;
        cell.left = x;
        cell.right = column.cx + (i == 0 ? rcItem.left : x);
        pDC->FillRect(&cell, &brush);
        RECT textRect = cell;
        textRect.left += (i == 0) ? 2 : tm.tmAveCharWidth;
        CString text(item.pszText && item.pszText != LPSTR_TEXTCALLBACK ? item.pszText : "");
        FitText(pDC, text, textRect.right - textRect.left);
        pDC->DrawText(text, &textRect, format);
        x = cell.right;
    }
    if (lpDIS->itemState & ODS_FOCUS) {
        RECT focus = rc;
        focus.right = rcItem.right;
        pDC->DrawFocusRect(&focus);
    }
}

void CListViewEx::FitText(CDC* pDC, CString& rText, int nWidth) {
    SIZE size;
    pDC->GetTextExtentPoint(rText, rText.GetLength(), &size);
    if (size.cx < nWidth) return;
    SIZE ellipsis;
    pDC->GetTextExtentPoint(kEllipsis, 5, &ellipsis);
    const int limit = nWidth - ellipsis.cx - 4;
    const std::string_view s = rText.View();
    int sum = 0;
    std::size_t bytes = 0;
    while (bytes < s.size()) {
        const std::size_t len = mbcs::CharLength(s, bytes);
        SIZE unit;
        pDC->GetTextExtentPoint(s.data() + bytes, static_cast<int>(len), &unit);
        sum += unit.cx;
        bytes += len;
        if (sum >= limit) break;
    }
    rText = rText.Left(static_cast<int>(bytes)) + kEllipsis;
}

void CListViewEx::InvalidateFocusedRow() {
    CListCtrl& list = GetListCtrl();
    const int focused = list.GetNextItem(list.GetTopIndex() - 1, LVNI_FOCUSED);
    if (focused < 0) return;
    RECT rect;
    if (list.GetItemRect(focused, &rect, LVIR_BOUNDS)) InvalidateRect(&rect, FALSE);
}

void CListViewEx::OnSetFocus(CWnd*) {
    InvalidateFocusedRow();
}
void CListViewEx::OnKillFocus(CWnd*) {
    InvalidateFocusedRow();
}
