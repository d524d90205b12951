// The state a command handler gives a menu item, tool button or accelerator before it is used.
#pragma once

#include "platform/base/Afx.h"

class CCmdTarget;

class CCmdUI {
public:
    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL bOn = TRUE) {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    virtual void SetCheck(int nCheck = 1) { m_nCheck = nCheck; }
    virtual void SetText(LPCTSTR /*lpszText*/) {}

    // Asks pTarget's routing for the state. A command that nobody enables is disabled when
    // bDisableIfNoHandler is set and no handler exists for it.
    void DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);

    UINT m_nID = 0;
    BOOL m_bEnabled = FALSE;
    BOOL m_bEnableChanged = FALSE;
    int m_nCheck = 0;
};
