#include "platform/gui/window/CCmdTarget.h"

#include "platform/gui/window/CCmdUI.h"
#include "platform/gui/window/UiHooks.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

namespace {
// Commands and notifications (reflected ones too, whose entries name control id 0) match by
// their code and the entry's id range; every other message by its number alone.
bool Matches(const AFX_MSGMAP_ENTRY& e, UINT nMessage, int nCode, UINT nID) {
    if (e.nMessage != nMessage) return false;
    if (nMessage != WM_COMMAND && nMessage != WM_NOTIFY && nMessage != WM_REFLECT_BASE + WM_NOTIFY)
        return true;
    return e.nCode == nCode && nID >= e.nID && nID <= e.nLastID;
}
}  // namespace

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, int nCode, UINT nID) const {
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e)
            if (Matches(*e, nMessage, nCode, nID)) return e;
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_COMMAND, nCode, nID);
    if (!e) return FALSE;
    if (pHandlerInfo) {
        pHandlerInfo->pTarget = this;
        return TRUE;
    }
    if (nCode == CN_UPDATE_COMMAND_UI) {
        auto* ui = static_cast<CCmdUI*>(pExtra);
        e->pfn(this, nID, 0, ui);
        return TRUE;
    }
    e->pfn(this, nID, 0, pExtra);
    return TRUE;
}

void CCmdTarget::BeginWaitCursor() {
    afx_ui::PushWaitCursor();
}
void CCmdTarget::EndWaitCursor() {
    afx_ui::PopWaitCursor();
}

CWaitCursor::CWaitCursor() {
    afx_ui::PushWaitCursor();
}
CWaitCursor::~CWaitCursor() {
    afx_ui::PopWaitCursor();
}

void CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler) {
    m_bEnableChanged = FALSE;
    pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (bDisableIfNoHandler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info;
        Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
    }
}
