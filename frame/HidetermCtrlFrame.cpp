#include "frame/HidetermCtrlFrame.h"

BEGIN_MESSAGE_MAP(CHidetermCtrlFrame, CClipboardViewerFrame)
END_MESSAGE_MAP()

// The terminal link is not there yet; until it is, there is no terminal to send to.
void CHidetermCtrlFrame::SendToHideterm(const CString& /*strText*/) {}
