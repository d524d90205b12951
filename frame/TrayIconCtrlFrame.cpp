#include "frame/TrayIconCtrlFrame.h"

BEGIN_MESSAGE_MAP(CTrayIconCtrlFrame, CPersistantFrame)
END_MESSAGE_MAP()

void CTrayIconCtrlFrame::SetTrayTip(const CString& strTip) {
    m_strTrayTip = strTip;
}
