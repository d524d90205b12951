// A main window kept on the screen: its title bar, menu and status bar where the user can
// reach them, whatever the scale factor and whatever size the settings remember.
#pragma once

#include "platform/base/WinTypes.h"

class CWnd;

namespace afx_frame {

// The frame rect (outside the window manager's frame) fit into area: wider or taller than the
// area, it shrinks to it, though never below minimum; then it moves in. A frame that is still
// larger at its minimum keeps its top left on the area, where the title bar and menu are.
RECT FitFrameToArea(const RECT& frame, SIZE minimum, const RECT& area);

}  // namespace afx_frame

// Fits the top-level window into the available part of its screen now, with the window
// manager's frame estimated when it is not known yet, and again once the window manager has
// framed the window, when it is known.
void AfxKeepFrameOnScreen(CWnd* pWnd);
