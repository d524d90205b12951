// The frame layer that links the program to the terminal program's window.
#pragma once

#include "frame/ClipboardViewerFrame.h"

class CHidetermCtrlFrame : public CClipboardViewerFrame {
public:
    // Hands text to the linked terminal for sending.
    void SendToHideterm(const CString& strText);

protected:
    DECLARE_MESSAGE_MAP()
};
