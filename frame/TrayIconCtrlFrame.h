// The frame layer for the tray icon, resident mode and the global hot key.
#pragma once

#include "frame/PersistantFrame.h"

class CTrayIconCtrlFrame : public CPersistantFrame {
public:
    // Keeps the tip of the tray icon (at most 63 bytes are shown).
    void SetTrayTip(const CString& strTip);

    BOOL m_bTrayIcon = FALSE;
    CString m_strTrayTip;

protected:
    DECLARE_MESSAGE_MAP()
};
