#include "frame/ClipboardViewerFrame.h"

BEGIN_MESSAGE_MAP(CClipboardViewerFrame, CTrayIconCtrlFrame)
END_MESSAGE_MAP()

int CClipboardViewerFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    return CTrayIconCtrlFrame::OnCreate(lpCreateStruct);
}
