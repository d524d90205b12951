// The frame layer that watches the clipboard and copies to it.
#pragma once

#include "frame/TrayIconCtrlFrame.h"

class CClipboardViewerFrame : public CTrayIconCtrlFrame {
protected:
    DECLARE_MESSAGE_MAP()
protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
};
