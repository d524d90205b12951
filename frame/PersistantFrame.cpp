#include "frame/PersistantFrame.h"

#include "platform/gui/application/CWinApp.h"
#include "platform/gui/frame/FramePlacement.h"

namespace {
constexpr const char* kSection = "Window";
constexpr const char* kBarState = "Control Bar";
}  // namespace

BEGIN_MESSAGE_MAP(CPersistantFrame, CFrameWnd)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CPersistantFrame::CPersistantFrame() : m_bFirstActivate(TRUE) {}

void CPersistantFrame::ActivateFrame(int nCmdShow) {
    if (m_bFirstActivate) RestorePlacement(nCmdShow);
    CFrameWnd::ActivateFrame(nCmdShow);
}

void CPersistantFrame::RestorePlacement(int nCmdShow) {
    m_bFirstActivate = FALSE;
    WINDOWPLACEMENT wp;
    wp.length = 44;
    GetWindowPlacement(&wp);
    const RECT& r = wp.rcNormalPosition;
    CWinApp* app = AfxGetApp();
    const int x = static_cast<int>(app->GetProfileInt(kSection, "X Position", r.left));
    const int y = static_cast<int>(app->GetProfileInt(kSection, "Y Position", r.top));
    const int cx = static_cast<int>(app->GetProfileInt(kSection, "Width", r.right - r.left));
    const int cy = static_cast<int>(app->GetProfileInt(kSection, "Height", r.bottom - r.top));
    wp.rcNormalPosition.left = x;
    wp.rcNormalPosition.top = y;
    wp.rcNormalPosition.right = x + cx;
    wp.rcNormalPosition.bottom = y + cy;
    wp.showCmd = static_cast<UINT>(nCmdShow);
    SetWindowPlacement(&wp);
    // The first start's size, or one saved on a larger screen or at a smaller scale, may not
    // fit: the status bar would be below the screen, or the title bar out of reach.
    AfxKeepFrameOnScreen(this);
    LoadBarState(kBarState);
}

void CPersistantFrame::OnDestroy() {
    if (!m_bFirstActivate) SavePlacement();
    CFrameWnd::OnDestroy();
}

void CPersistantFrame::SavePlacement() {
    WINDOWPLACEMENT wp;
    wp.length = 44;
    GetWindowPlacement(&wp);
    const RECT& r = wp.rcNormalPosition;
    CWinApp* app = AfxGetApp();
    app->WriteProfileInt(kSection, "X Position", r.left);
    app->WriteProfileInt(kSection, "Y Position", r.top);
    app->WriteProfileInt(kSection, "Width", r.right - r.left);
    app->WriteProfileInt(kSection, "Height", r.bottom - r.top);
    SaveBarState(kBarState);
}
