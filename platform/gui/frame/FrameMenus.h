// The menu bar and accelerator keys of a frame, built from the resources, with command states
// asked of the frame when a menu opens and prompts shown while an item is under the pointer.
#pragma once

#include <QObject>
#include <vector>

#include "platform/base/Afx.h"

class CFrameWnd;
class QAction;
class QMenu;

class CFrameMenus : public QObject {
public:
    CFrameMenus(CFrameWnd* pFrame, UINT nIDResource);

    // Builds a menu's items from a menu resource (pop-up index `popup`, or all of them into a
    // menu bar when menu is a bar). Used for the main menu and for pop-up menus.
    static void Fill(QMenu* menu, UINT nIDResource, int popup, CFrameWnd* pTarget);
    // Enables and checks the items of a menu as the frame's command routing says.
    static void UpdateMenu(QMenu* menu, CFrameWnd* pTarget);

private:
    void UpdateRecentFiles(QMenu* menu);
    CFrameWnd* m_pFrame;
    QAction* m_mruPlaceholder = nullptr;
    std::vector<QAction*> m_mruActions;
};
