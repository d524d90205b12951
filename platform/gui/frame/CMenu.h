// Pop-up menus from the menu resources, tracked at a point; their items ask the owner frame's
// command routing for their states and send their commands through it.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/WinTypes.h"

class CWnd;

constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;

class CMenu {
public:
    CMenu() = default;
    BOOL LoadMenu(UINT nIDResource);
    // The pop-up at nPos of a loaded menu; owned by this menu.
    CMenu* GetSubMenu(int nPos);
    // Shows the pop-up at a screen point and runs the chosen command through pWnd's frame.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd);
    BOOL DestroyMenu();

private:
    UINT m_nID = 0;
    int m_nPopup = -1;
    std::vector<std::unique_ptr<CMenu>> m_subMenus;
};
