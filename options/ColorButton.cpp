#include "options/ColorButton.h"

#include "platform/gui/drawing/CBrush.h"
#include "platform/gui/drawing/CDC.h"

void CColorButton::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    if (!pDC) return;
    RECT rc = lpDIS->rcItem;
    CBrush fill(m_clr);
    pDC->FillRect(&rc, &fill);
    CBrush black(RGB(0, 0, 0));
    if (lpDIS->itemState & ODS_FOCUS) {
        pDC->FrameRect(&rc, &black);
        pDC->DrawFocusRect(&rc);
    }
    rc.left += 1;
    rc.top += 1;
    rc.right -= 1;
    rc.bottom -= 1;
    if (lpDIS->itemState & ODS_SELECTED) pDC->FrameRect(&rc, &black);
}
