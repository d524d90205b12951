// The top of the frame layers: the window class, tool bar, status bar with the registered and
// picked-up counts, the tray tip and the seven helper formats (the options sheet that edits
// them is the application's command).
#pragma once

#include "frame/IdListFrame.h"
#include "frame/VelkonApi32CtrlFrame.h"
#include "platform/base/CStringArray.h"
#include "platform/gui/frame/CControlBar.h"

class CMainFrame : public CVelkonApi32CtrlFrame, public CIdListFrame {
    DECLARE_DYNCREATE(CMainFrame)
public:
    static constexpr int kHelperFormats = 7;

    CMainFrame();
    ~CMainFrame() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // Status pane 1 and 2, and the tray tip.
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
    // The registration dialog over the active document; the store registers, the dialog asks.
    void OnRegistID();

private:
    static constexpr int kShownPane = 3;
    void SetCountPane(int nPane, CString& rText, UINT nIDFormat, int nCount);
    // Sets the pane's text and makes it exactly as wide as the text.
    void FitPane(int nPane, const CString& rText);
};
