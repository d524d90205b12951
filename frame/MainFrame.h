// The top of the frame layers: the window class, tool bar, status bar with the registered and
// picked-up counts, the tray tip and the seven helper formats (the options sheet that edits
// them is the application's command).
#pragma once

#include "frame/IdListFrame.h"
#include "frame/VelkonApi32CtrlFrame.h"
#include "platform/base/CStringArray.h"
#include "platform/gui/frame/CControlBar.h"

// The count panes and the tray tip are due (posted by the frame to itself, no parameters).
constexpr UINT WM_SHOW_COUNTS = WM_USER + 112;

class CMainFrame : public CVelkonApi32CtrlFrame, public CIdListFrame {
    DECLARE_DYNCREATE(CMainFrame)
public:
    static constexpr int kHelperFormats = 7;

    CMainFrame();
    ~CMainFrame() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // Status pane 1 and 2, and the tray tip. The counts are noted here and shown once the
    // event loop wakes next, however many came meanwhile (a pickup changes them for every ID).
    void SetRegistCount(int nCount) override;
    void SetPickupCount(int nCount) override;
    // Rows shown of the registered ones; a pane of its own only while a filter hides some.
    void SetShownCount(int nShown, int nTotal) override;
    const CStringArray& GetHelperFormats() const override { return m_astrHelperFormat; }
    void CopyToClipboard(const CString& strText) override {
        CClipboardViewerFrame::CopyToClipboard(strText);
    }
    void SendToHideterm(const CString& strText) override {
        CHidetermCtrlFrame::SendToHideterm(strText);
    }

    CString m_strRegistCount;
    CString m_strPickupCount;
    CString m_strShownCount;  // empty while every registered ID is shown
    CStringArray m_astrHelperFormat;
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;

protected:
    DECLARE_MESSAGE_MAP()
protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    LRESULT OnShowCounts(WPARAM wParam, LPARAM lParam);
    // The registration dialog over the active document; the store registers, the dialog asks.
    void OnRegistID();

private:
    static constexpr int kShownPane = 3;
    // The counts as last noted; what the panes show catches up in ShowCounts.
    int m_nRegistCount = 0;
    int m_nPickupCount = 0;
    int m_nShown = 0;
    int m_nShownTotal = 0;
    bool m_bCountsDue = false;  // a WM_SHOW_COUNTS is on its way
    // The text length each pane was last measured for: its digits decide its width.
    int m_anMeasuredLength[kShownPane + 1] = {-1, -1, -1, -1};

    void CountsChanged();
    void ShowCounts();
    bool SetCountPane(int nPane, CString& rText, UINT nIDFormat, int nCount);
    void ShowShownCount();
    // Sets the pane's text; its width follows the text when the text's length has changed.
    void FitPane(int nPane, const CString& rText);
};
