// The options sheet's owners in the running program: the main window as it is at the moment of
// asking, its active view and its document.
#pragma once

#include "options/OptionOwners.h"

class CMainFrame;

class CMainWindowOptions final : public COptionOwners {
public:
    COptionsFrame* Frame() override;
    CVelkonView* View() override;
    CVelkonDoc* Document() override;

private:
    // The frame's settings, reached through the frame found last.
    class CFrameSettings final : public COptionsFrame {
    public:
        BOOL& Resident() override;
        WORD& HotKey() override;
        BOOL& HidetermPickup() override;
        BOOL& ClipboardPickup() override;
        CStringArray& HelperFormats() override;
        void RegisterAppHotKey() override;
        void UnregisterAppHotKey() override;
        void AddTrayIcon() override;
        void RemoveTrayIcon() override;

        CMainFrame* m_pFrame = nullptr;
    };
    CFrameSettings m_settings;
};
