// The frame layer that links the program to the terminal program's window (class
// "HideTermFrameClass"): once a second it looks for that window and registers itself with it,
// picks up IDs from the text the terminal sends it, and hands the terminal text to send.
#pragma once

#include "frame/ClipboardViewerFrame.h"
#include "platform/base/TerminalText.h"

// Messages exchanged with the terminal window; numbers the terminal knows.
constexpr UINT WM_HT_DETACH = WM_USER + 4;     // to the terminal; wParam: this frame's window
constexpr UINT WM_HT_TEXT = WM_USER + 5;       // from the terminal; wParam: a mapping handle
constexpr UINT WM_HT_CANSEND = WM_USER + 11;   // to the terminal; nonzero: it takes a text now
constexpr UINT WM_HT_SENDTEXT = WM_USER + 51;  // to the terminal; wParam length, lParam mapping
constexpr UINT WM_HT_ATTACH = WM_USER + 72;    // to the terminal; wParam: this frame's window

constexpr UINT_PTR HIDETERM_TIMER_ID = 10;
constexpr UINT HIDETERM_TIMER_PERIOD = 1000;
constexpr const char* HIDETERM_CLASS_NAME = "HideTermFrameClass";
// The most of one WM_HT_TEXT that is read; the rest of a longer text is dropped. velkon-term
// sends one read of its terminal (4 KB, 8 KB with its line ends), so this leaves any terminal
// room, and the pickup of this much holds the window about as long as one clipboard slice
// (bench: TerminalTextAtTheBound); a megabyte would hold it for several.
constexpr std::size_t HIDETERM_MAX_TEXT = 256 * 1024;

class CHidetermCtrlFrame : public CClipboardViewerFrame {
public:
    CHidetermCtrlFrame();
    ~CHidetermCtrlFrame() override;

    void ActivateFrame(int nCmdShow = -1) override;
    // The terminal's text.
    BOOL IsPeerMessage(UINT message) const override;

    // Hands text to the linked terminal for sending.
    void SendToHideterm(const CString& strText);

    BOOL m_bHidetermLinked;
    CString m_strHidetermText;
    BOOL m_bHidetermPickup;
    // What the terminal sent is text once this has taken out the terminal's sequences; it
    // keeps a sequence cut between two messages.
    CTerminalTextFilter m_terminalText;

protected:
    DECLARE_MESSAGE_MAP()
protected:
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnHidetermText(WPARAM wParam, LPARAM lParam);
    void OnDestroy();

private:
    void PollHideterm();
};
