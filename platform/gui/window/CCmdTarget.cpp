#include "platform/gui/window/CCmdTarget.h"

#include <array>
#include <cstddef>
#include <cstdint>

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

namespace {
const AFX_MSGMAP_ENTRY* SearchMaps(const AFX_MSGMAP* first, UINT nMessage, int nCode, UINT nID) {
    for (const AFX_MSGMAP* map = first; map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e)
            if (Matches(*e, nMessage, nCode, nID)) return e;
    }
    return nullptr;
}

// A list call is a message, and a picked-up ID makes several of them; the search walks a whole
// chain of maps (a view's runs through five) comparing every entry. Maps are static, so what a
// search found, or that it found nothing, stays true: the last answers are kept, per thread so
// that no lock is needed, in a small table indexed by a hash of the question.
struct CachedLookup {
    const AFX_MSGMAP* map = nullptr;
    UINT message = 0;
    int code = 0;
    UINT id = 0;
    const AFX_MSGMAP_ENTRY* entry = nullptr;
};
constexpr std::size_t kCachedLookups = 256;
thread_local std::array<CachedLookup, kCachedLookups> t_lookups;

std::size_t LookupSlot(const AFX_MSGMAP* map, UINT nMessage, int nCode, UINT nID) {
    std::size_t h = reinterpret_cast<std::uintptr_t>(map) >> 4;
    h = h * 31 + nMessage;
    h = h * 31 + static_cast<UINT>(nCode);
    h = h * 31 + nID;
    h ^= h >> 9;
    return h % kCachedLookups;
}
}  // namespace

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, int nCode, UINT nID) const {
    const AFX_MSGMAP* first = GetMessageMap();
    CachedLookup& slot = t_lookups[LookupSlot(first, nMessage, nCode, nID)];
    if (slot.map != first || slot.message != nMessage || slot.code != nCode || slot.id != nID)
        slot = {first, nMessage, nCode, nID, SearchMaps(first, nMessage, nCode, nID)};
    return slot.entry;
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
