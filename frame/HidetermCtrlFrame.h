// The frame layer that links the program to the terminal program's window.
#pragma once

#include "frame/ClipboardViewerFrame.h"

class CHidetermCtrlFrame : public CClipboardViewerFrame {
protected:
    DECLARE_MESSAGE_MAP()
};
