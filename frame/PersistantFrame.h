// The lowest frame layer: the window comes back where it was left, with its bar layout.
#pragma once

#include "platform/gui/frame/CFrameWnd.h"

class CPersistantFrame : public CFrameWnd {
public:
    CPersistantFrame();
    void ActivateFrame(int nCmdShow = -1) override;

    // TRUE until the first ActivateFrame has run through this layer; the layers above do their
    // own first-activation work while it is set.
    BOOL m_bFirstActivate;

protected:
    DECLARE_MESSAGE_MAP()
protected:
    void OnDestroy();

private:
    void RestorePlacement(int nCmdShow);
    void SavePlacement();
};
