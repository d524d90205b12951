#include "frame/TrayIconCtrlFrame.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/gui/application/CWinApp.h"
#include "platform/gui/document/CDocument.h"
#include "platform/gui/frame/CMenu.h"
#include "platform/gui/x11/HotKey.h"
#include "platform/gui/x11/TrayIcon.h"
#include "platform/ipc/WinClass.h"
#include "res/resource.h"

namespace {
constexpr const char* kSection = "Execute Option";
constexpr UINT kTrayIconId = 128;
constexpr int kHotKeyId = 128;

// The tip field keeps 63 bytes and its end; the tray cuts a split double-byte character off.
void CopyTip(char (&szTip)[64], const CString& strTip) {
    const std::string_view tip(strTip.GetString(), static_cast<std::size_t>(strTip.GetLength()));
    const std::size_t n = std::min(tip.size(), sizeof(szTip) - 1);
    std::memcpy(szTip, tip.data(), n);
    szTip[n] = '\0';
}
}  // namespace

BEGIN_MESSAGE_MAP(CTrayIconCtrlFrame, CPersistantFrame)
ON_MESSAGE(WM_TRAYNOTIFY, OnTrayNotify)
ON_MESSAGE(WM_TRAYMENU, OnTrayMenu)
ON_WM_HOTKEY()
ON_WM_CLOSE()
ON_WM_DESTROY()
ON_COMMAND(ID_QUIT_RESIDENT, OnQuitResident)
END_MESSAGE_MAP()

CTrayIconCtrlFrame::CTrayIconCtrlFrame() : m_bTrayIcon(FALSE) {
    CWinApp* app = AfxGetApp();
    m_bResident = app->GetProfileInt(kSection, "Resident", 0) ? TRUE : FALSE;
    m_nHotKey = static_cast<WORD>(app->GetProfileInt(kSection, "Hot Key", 0) & 0xFFFF);
}

CTrayIconCtrlFrame::~CTrayIconCtrlFrame() {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    app->WriteProfileInt(kSection, "Resident", m_bResident);
    app->WriteProfileInt(kSection, "Hot Key", static_cast<int>(m_nHotKey));
}

void CTrayIconCtrlFrame::ActivateFrame(int nCmdShow) {
    if (m_bFirstActivate) {
        if (m_bResident) {
            AddTrayIcon();
            nCmdShow = SW_HIDE;
        }
        RegisterAppHotKey();
    }
    CPersistantFrame::ActivateFrame(nCmdShow);
}

void CTrayIconCtrlFrame::AddTrayIcon() {
    m_bTrayIcon = TRUE;
    NOTIFYICONDATA nid;
    nid.hWnd = m_hWnd;
    nid.uID = kTrayIconId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = WM_TRAYNOTIFY;
    nid.hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
    CopyTip(nid.szTip, m_strTrayTip);
    // Without a tray host the icon waits for one; the window can still be reached by the hot key.
    Shell_NotifyIcon(NIM_ADD, &nid);
}

void CTrayIconCtrlFrame::RemoveTrayIcon() {
    if (!m_bTrayIcon) return;
    m_bTrayIcon = FALSE;
    NOTIFYICONDATA nid;
    nid.hWnd = m_hWnd;
    nid.uID = kTrayIconId;
    Shell_NotifyIcon(NIM_DELETE, &nid);
}

void CTrayIconCtrlFrame::SetTrayTip(const CString& strTip) {
    m_strTrayTip = strTip;
    if (!m_bTrayIcon) return;
    NOTIFYICONDATA nid;
    nid.hWnd = m_hWnd;
    nid.uID = kTrayIconId;
    nid.uFlags = NIF_TIP;
    CopyTip(nid.szTip, m_strTrayTip);
    Shell_NotifyIcon(NIM_MODIFY, &nid);
}

void CTrayIconCtrlFrame::HotKeyToModifiers(WORD nHotKey, UINT& fsModifiers, UINT& vk) {
    vk = LOBYTE(nHotKey);
    const BYTE flags = HIBYTE(nHotKey);
    fsModifiers = 0;
    if (flags & HOTKEYF_ALT) fsModifiers |= MOD_ALT;
    if (flags & HOTKEYF_CONTROL) fsModifiers |= MOD_CONTROL;
    if (flags & HOTKEYF_SHIFT) fsModifiers |= MOD_SHIFT;
}

void CTrayIconCtrlFrame::RegisterAppHotKey() {
    UINT fsModifiers = 0;
    UINT vk = 0;
    HotKeyToModifiers(m_nHotKey, fsModifiers, vk);
    // No key means no hot key; asking for key 0 would only fail.
    if (vk == 0) return;
    // A combination another program holds just stays dead, as the user chose it knowingly.
    RegisterHotKey(m_hWnd, kHotKeyId, fsModifiers, vk);
}

void CTrayIconCtrlFrame::UnregisterAppHotKey() {
    UnregisterHotKey(m_hWnd, kHotKeyId);
}

void CTrayIconCtrlFrame::BringBack() {
    ShowWindow(SW_SHOW);
    OnUpdateFrameTitle(TRUE);
    // An open dialog comes to the front rather than the frame behind it.
    ::SetForegroundWindow(::GetLastActivePopup(m_hWnd));
}

LRESULT CTrayIconCtrlFrame::OnTrayNotify(WPARAM, LPARAM lParam) {
    switch (static_cast<UINT>(lParam)) {
        case WM_LBUTTONDBLCLK:
            BringBack();
            break;
        case WM_RBUTTONDOWN:
            // The menu is shown later, once the window owning it is in front; otherwise it would
            // not go away when the user clicks elsewhere.
            ::SetForegroundWindow(::GetLastActivePopup(m_hWnd));
            PostMessage(WM_TRAYMENU, 0, 0);
            break;
        default:
            break;
    }
    return 0;
}

LRESULT CTrayIconCtrlFrame::OnTrayMenu(WPARAM, LPARAM) {
    POINT pt;
    GetCursorPos(&pt);
    CMenu menu;
    if (!menu.LoadMenu(IDR_POPUP)) return 0;
    if (CMenu* popup = menu.GetSubMenu(0))
        popup->TrackPopupMenu(TPM_RIGHTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, this);
    menu.DestroyMenu();
    return 0;
}

void CTrayIconCtrlFrame::OnHotKey(UINT, UINT, UINT) {
    BringBack();
}

void CTrayIconCtrlFrame::OnClose() {
    // While the icon stands for the window, closing only puts it back in the tray; the document
    // stays open with its changes.
    if (m_bTrayIcon) {
        ShowWindow(SW_HIDE);
        return;
    }
    CPersistantFrame::OnClose();
}

void CTrayIconCtrlFrame::OnDestroy() {
    RemoveTrayIcon();
    UnregisterAppHotKey();
    CPersistantFrame::OnDestroy();
}

void CTrayIconCtrlFrame::OnQuitResident() {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        // One document in this program: saving all of them is asking about this one.
        CDocument* doc = GetActiveDocument();
        if (doc && !doc->SaveModified()) return;
    }
    DestroyWindow();
}
