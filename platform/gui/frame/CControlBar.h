// Bars along the edges of a frame: the tool bar and the status bar.
#pragma once

#include <vector>

#include "platform/base/AfxRes.h"
#include "platform/base/CString.h"
#include "platform/gui/window/CWnd.h"

class CFrameWnd;
class QToolBar;
class QStatusBar;
class QLabel;

// Bar styles
constexpr DWORD CBRS_ALIGN_TOP = 0x1000;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x4000;
constexpr DWORD CBRS_ALIGN_LEFT = 0x2000;
constexpr DWORD CBRS_ALIGN_RIGHT = 0x8000;
constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
constexpr DWORD CBRS_BORDER_TOP = 0x0200;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
constexpr DWORD CBRS_FLYBY = 0x0020;
constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0080;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;

// Status pane styles
constexpr UINT SBPS_NORMAL = 0x0000;
constexpr UINT SBPS_NOBORDERS = 0x0100;
constexpr UINT SBPS_POPOUT = 0x0200;
constexpr UINT SBPS_STRETCH = 0x0800;

class CControlBar : public CWnd {
public:
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle; }
    void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle; }
    DWORD GetDockStyle() const { return m_dwDockStyle; }
    // Asks the target (the frame) for the state of each command the bar shows.
    virtual void OnUpdateCmdUI(CFrameWnd* /*pTarget*/, BOOL /*bDisableIfNoHndler*/) {}

protected:
    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;
};

class CToolBar : public CControlBar {
public:
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, RECT rcBorders = RECT(),
                  UINT nID = AFX_IDW_TOOLBAR);
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                UINT nID = AFX_IDW_TOOLBAR);
    // Buttons, pictures and prompts of a tool bar resource.
    BOOL LoadToolBar(UINT nIDResource);
    int GetCount() const { return static_cast<int>(m_commands.size()); }
    UINT GetItemID(int nIndex) const { return m_commands[static_cast<std::size_t>(nIndex)]; }
    // The enabled state of the button of a command (tests and the idle update).
    BOOL IsButtonEnabled(UINT nID) const;
    BOOL IsButtonChecked(UINT nID) const;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    QToolBar* GetToolBar() const;

private:
    std::vector<UINT> m_commands;
};

class CStatusBar : public CControlBar {
public:
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id; ID_SEPARATOR panes start empty.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
    CString GetPaneText(int nIndex) const;
    int GetCount() const { return static_cast<int>(m_panes.size()); }
    QStatusBar* GetStatusBar() const;

private:
    struct Pane {
        UINT nID = 0;
        UINT nStyle = 0;
        int cxWidth = 0;
        CString text;
        QLabel* label = nullptr;
    };
    void ApplyPane(Pane& pane, bool stretch);
    std::vector<Pane> m_panes;
};
