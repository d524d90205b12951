#include "frame/HidetermCtrlFrame.h"

BEGIN_MESSAGE_MAP(CHidetermCtrlFrame, CClipboardViewerFrame)
END_MESSAGE_MAP()
