#include "platform/gui/reportlist/CListView.h"

#include "platform/gui/reportlist/ListWidget.h"

BEGIN_MESSAGE_MAP(CListView, CView)
END_MESSAGE_MAP()

CListView::CListView() = default;
CListView::~CListView() = default;

CListCtrl& CListView::GetListCtrl() const {
    // Refreshed each time: the window is made after the view object.
    m_listCtrl.AttachTo(const_cast<CListView*>(this));
    return m_listCtrl;
}

BOOL CListView::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CView::PreCreateWindow(cs)) return FALSE;
    cs.lpszClass = "SysListView32";
    return TRUE;
}

BOOL CListView::CreateViewWindow(CWnd* pParentWnd, UINT nID, void* pContext) {
    CREATESTRUCT cs;
    cs.hwndParent = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
    cs.lpCreateParams = pContext;
    if (!PreCreateWindow(cs)) return FALSE;
    m_nID = nID;
    auto* list = new ListCtrlQt(pParentWnd ? pParentWnd->GetWidget() : nullptr);
    list->SetStyle(static_cast<DWORD>(cs.style));
    if (!AttachWidget(list, cs, pParentWnd)) return FALSE;
    // Reached through the handle: the widget may outlive the view by a turn of the event loop.
    const HWND hWnd = m_hWnd;
    ListCtrlQt::Host host;
    host.notify = [hWnd](NMHDR* pHdr) -> LRESULT {
        CWnd* wnd = CWnd::FromHandle(hWnd);
        if (!wnd) return 0;
        pHdr->hwndFrom = hWnd;
        pHdr->idFrom = wnd->GetDlgCtrlID();
        return wnd->SendMessage(WM_NOTIFY, pHdr->idFrom, reinterpret_cast<LPARAM>(pHdr));
    };
    host.drawItem = [hWnd](DRAWITEMSTRUCT* pDis) {
        auto* view = dynamic_cast<CListView*>(CWnd::FromHandle(hWnd));
        if (!view) return;
        pDis->CtlID = view->GetDlgCtrlID();
        pDis->hwndItem = hWnd;
        view->DrawItem(pDis);
    };
    host.focusChanged = [hWnd](bool bGained) {
        if (CWnd* wnd = CWnd::FromHandle(hWnd))
            wnd->SendMessage(bGained ? WM_SETFOCUS : WM_KILLFOCUS);
    };
    host.contextMenu = [hWnd](int x, int y) {
        if (CWnd* wnd = CWnd::FromHandle(hWnd))
            wnd->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hWnd),
                             static_cast<LPARAM>((static_cast<DWORD>(y & 0xFFFF) << 16) |
                                                 static_cast<DWORD>(x & 0xFFFF)));
    };
    list->SetHost(std::move(host));
    return TRUE;
}

void CListView::DrawItem(LPDRAWITEMSTRUCT) {}

void CListView::InvalidateRect(LPCRECT lpRect, BOOL) {
    auto* list = static_cast<ListCtrlQt*>(m_pWidget);
    if (!list) return;
    if (lpRect)
        list->InvalidateClientRect(*lpRect);
    else
        list->viewport()->update();
}

BOOL CListView::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    // A notification of the list is the view's own: the map entries for its code handle it.
    if (message == WM_NOTIFY && lParam) {
        const int code = static_cast<int>(reinterpret_cast<const NMHDR*>(lParam)->code);
        if (const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_REFLECT_BASE + WM_NOTIFY, code, 0)) {
            *pResult = e->pfn(this, wParam, lParam, nullptr);
            return TRUE;
        }
    }
    return CView::OnWndMsg(message, wParam, lParam, pResult);
}

LRESULT CListView::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    auto* list = static_cast<ListCtrlQt*>(m_pWidget);
    if (list && message >= LVM_FIRST && message <= LVM_LAST) {
        bool handled = false;
        const LRESULT result = list->HandleMessage(message, wParam, lParam, &handled);
        if (handled) return result;
    }
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
        // The focus rectangle comes or goes with the focus.
        if (list) list->InvalidateFocusedRow();
        return 0;
    }
    return CView::DefWindowProc(message, wParam, lParam);
}
