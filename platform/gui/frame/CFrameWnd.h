// The frame window: menu, accelerators, control bars, the view inside, the message pane, and
// the routing of commands from the active view and its document to the frame and the program.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/AfxRes.h"
#include "platform/gui/frame/CControlBar.h"
#include "platform/gui/window/CRuntimeClass.h"
#include "platform/gui/window/CWnd.h"

class CView;
class CDocument;
struct CCreateContext;
class QMainWindow;

constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr DWORD FWS_ADDTOTITLE = 0x00008000;

class CFrameWnd : public CWnd {
public:
    CFrameWnd();
    ~CFrameWnd() override;

    // Creates the window with the menu, accelerators and title of a resource id.
    virtual BOOL LoadFrame(UINT nIDResource,
                           DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    // Shows the frame (-1: as it is, or normally when hidden or minimised) and brings it up.
    virtual void ActivateFrame(int nCmdShow = -1);
    // A second start of the program hands over to the running one by bringing its frame (or
    // the frame's open dialog) forward.
    BOOL IsPeerMessage(UINT message) const override;
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);

    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pView);
    CDocument* GetActiveDocument() const;

    // Pane 0 of the status bar.
    void SetMessageText(LPCTSTR lpszText);
    void SetMessageText(UINT nID);
    CString GetMessageText() const;
    // The status-bar part of a command's prompt string.
    virtual void GetMessageString(UINT nID, CString& rMessage) const;

    void AddControlBar(CControlBar* pBar);
    CControlBar* GetControlBar(UINT nID) const;
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    void EnableDocking(DWORD dwDockStyle);
    void DockControlBar(CControlBar* pBar);
    // Visibility and docking edge of the bars, kept in profile sections named after
    // lpszProfileName.
    void LoadBarState(LPCTSTR lpszProfileName);
    void SaveBarState(LPCTSTR lpszProfileName) const;

    // The idle work: tool bar states and, when no menu is open, the idle prompt.
    void OnIdleUpdateCmdUI();
    // The state of a command as a menu would show it (tests, accelerators).
    BOOL IsCommandEnabled(UINT nID);
    // Carries out a command as if its menu item had been chosen.
    void RunCommand(UINT nID);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    QMainWindow* GetMainWindow() const;

protected:
    DECLARE_MESSAGE_MAP()
protected:
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnClose();
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    void OnBarCheck(UINT nID);
    // Help: the manual's search (ﾄﾋﾟｯｸの検索), this window's topic (F1), help mode (Shift+F1).
    void OnHelpFinder();
    void OnHelp();
    void OnContextHelp();
    void OnUpdateContextHelp(CCmdUI* pCmdUI);
    LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);
    // In help mode a command shows its topic instead of being carried out.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }
    void OnDropFiles(const CString& path) override;

    UINT m_nIDHelp = 0;
    CView* m_pViewActive = nullptr;
    std::vector<CControlBar*> m_listControlBars;
    CString m_strTitle;

private:
    friend class CFrameMenus;
    void BuildMenus(UINT nIDResource);
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// The active document of the main window, when the main window is a frame; else nullptr.
CDocument* AfxGetActiveDocument();
