// The state a command handler gives a menu item or tool button before it is shown.
#pragma once

#include "platform/Afx.h"

class CCmdUI {
public:
    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL bOn = TRUE) { m_bEnabled = bOn; }
    virtual void SetCheck(int nCheck = 1) { m_nCheck = nCheck; }

    UINT m_nID = 0;
    BOOL m_bEnabled = FALSE;
    int m_nCheck = 0;
};
