#include "app/MainWindowOptions.h"

#include "document/VelkonDoc.h"
#include "frame/MainFrame.h"
#include "listview/VelkonView.h"
#include "platform/gui/application/CWinApp.h"

namespace {
CMainFrame* MainFrame() {
    return dynamic_cast<CMainFrame*>(AfxGetMainWnd());
}
}  // namespace

COptionsFrame* CMainWindowOptions::Frame() {
    m_settings.m_pFrame = MainFrame();
    return m_settings.m_pFrame ? &m_settings : nullptr;
}

CVelkonView* CMainWindowOptions::View() {
    CMainFrame* frame = MainFrame();
    return frame ? dynamic_cast<CVelkonView*>(frame->GetActiveView()) : nullptr;
}

CVelkonDoc* CMainWindowOptions::Document() {
    return CVelkonDoc::GetActive();
}

BOOL& CMainWindowOptions::CFrameSettings::Resident() {
    return m_pFrame->m_bResident;
}

WORD& CMainWindowOptions::CFrameSettings::HotKey() {
    return m_pFrame->m_nHotKey;
}

BOOL& CMainWindowOptions::CFrameSettings::HidetermPickup() {
    return m_pFrame->m_bHidetermPickup;
}

BOOL& CMainWindowOptions::CFrameSettings::ClipboardPickup() {
    return m_pFrame->m_bClipboardPickup;
}

CStringArray& CMainWindowOptions::CFrameSettings::HelperFormats() {
    return m_pFrame->m_astrHelperFormat;
}

void CMainWindowOptions::CFrameSettings::RegisterAppHotKey() {
    m_pFrame->RegisterAppHotKey();
}

void CMainWindowOptions::CFrameSettings::UnregisterAppHotKey() {
    m_pFrame->UnregisterAppHotKey();
}

void CMainWindowOptions::CFrameSettings::AddTrayIcon() {
    m_pFrame->AddTrayIcon();
}

void CMainWindowOptions::CFrameSettings::RemoveTrayIcon() {
    m_pFrame->RemoveTrayIcon();
}
