#include "platform/gui/frame/CMenu.h"

#include <QMenu>
#include <QPointer>

#include "platform/base/AfxRes.h"
#include "platform/base/ResourceTables.h"
#include "platform/gui/frame/CFrameWnd.h"
#include "platform/gui/frame/FrameMenus.h"

BOOL CMenu::LoadMenu(UINT nIDResource) {
    if (!afx_res::FindMenu(nIDResource)) return FALSE;
    m_nID = nIDResource;
    m_nPopup = -1;
    return TRUE;
}

CMenu* CMenu::GetSubMenu(int nPos) {
    const afx_res::MenuResource* resource = afx_res::FindMenu(m_nID);
    if (!resource || nPos < 0) return nullptr;
    int popups = 0;
    for (std::size_t i = 0; i < resource->count; ++i)
        if (resource->entries[i].depth == 0) ++popups;
    if (nPos >= popups) return nullptr;
    auto sub = std::make_unique<CMenu>();
    sub->m_nID = m_nID;
    sub->m_nPopup = nPos;
    m_subMenus.push_back(std::move(sub));
    return m_subMenus.back().get();
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd) {
    auto* frame = dynamic_cast<CFrameWnd*>(pWnd);
    if (m_nPopup < 0 || !frame) return FALSE;
    // The command chosen runs inside exec and may end the frame (the tray's exit item), taking
    // its widget and this menu, the widget's child, with it: neither is touched after exec
    // unless it is still there.
    const HWND hWnd = frame->GetSafeHwnd();
    QPointer<QMenu> menu = new QMenu(frame->GetWidget());
    CFrameMenus::Fill(menu, m_nID, m_nPopup, frame);
    CFrameMenus::UpdateMenu(menu, frame);
    QPoint at(x, y);
    const int width = menu->sizeHint().width();
    if (nFlags & TPM_CENTERALIGN)
        at.rx() -= width / 2;
    else if (nFlags & TPM_RIGHTALIGN)
        at.rx() -= width;
    menu->exec(at);
    delete menu.data();
    // The prompt of the last item under the pointer goes.
    if (auto* still = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(hWnd)))
        still->SetMessageText(AFX_IDS_IDLEMESSAGE);
    return TRUE;
}

BOOL CMenu::DestroyMenu() {
    m_subMenus.clear();
    m_nID = 0;
    m_nPopup = -1;
    return TRUE;
}
