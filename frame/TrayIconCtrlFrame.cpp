#include "frame/TrayIconCtrlFrame.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "frame/SecondStart.h"
#include "platform/base/CFile.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/document/CDocument.h"
#include "platform/gui/frame/CMenu.h"
#include "platform/gui/window/UiHooks.h"
#include "platform/gui/x11/HotKey.h"
#include "platform/gui/x11/TrayIcon.h"
#include "platform/ipc/Kernel.h"
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
ON_MESSAGE(WM_SECOND_START, OnSecondStart)
ON_MESSAGE(WM_OPEN_HANDED_OVER, OnOpenHandedOver)
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
            if (InTray()) nCmdShow = SW_HIDE;
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
    // Without a tray host the icon waits for one, and the window is not hidden meanwhile.
    if (!Shell_NotifyIcon(NIM_ADD, &nid)) NoteNoTray();
}

BOOL CTrayIconCtrlFrame::InTray() const {
    return m_bTrayIcon && GetNotifyIconHost(m_hWnd, kTrayIconId) != TrayHost::None;
}

void CTrayIconCtrlFrame::NoteNoTray() {
    if (m_bNoTrayNoted) return;
    m_bNoTrayNoted = TRUE;
    const CString text = AfxLoadString(IDS_NO_TRAY);
    AfxLogMessage(text);
    SetMessageText(text);
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
    // stays open with its changes. With no tray to find it in again, a hidden window would be
    // lost: closing is then the frame's close, with its question.
    if (InTray()) {
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

BOOL CTrayIconCtrlFrame::IsPeerMessage(UINT message) const {
    return message == WM_SECOND_START || CPersistantFrame::IsPeerMessage(message);
}

// Any program of the user may send this: the path is read within its bounds, and the file is
// opened later, from the frame's own queue, so that the sender (waiting for the answer) is not
// held by the save question.
LRESULT CTrayIconCtrlFrame::OnSecondStart(WPARAM wParam, LPARAM) {
    CString path;
    if (const auto hMapping = reinterpret_cast<HANDLE>(wParam)) {
        if (LPVOID pView = ::MapViewOfFile(hMapping, FILE_MAP_READ, 0, 0, 0)) {
            MEMORY_BASIC_INFORMATION info;
            const std::size_t size =
                ::VirtualQuery(pView, &info, sizeof(info)) ? info.RegionSize : 0;
            path = HandedOverPath(static_cast<const char*>(pView), size);
            ::UnmapViewOfFile(pView);
        }
        ::CloseHandle(hMapping);
    }
    BringBack();
    if (!path.IsEmpty()) {
        m_strHandedOver = path;
        PostMessage(WM_OPEN_HANDED_OVER, 0, 0);
    }
    return 1;
}

LRESULT CTrayIconCtrlFrame::OnOpenHandedOver(WPARAM, LPARAM) {
    const CString path = m_strHandedOver;
    m_strHandedOver.Empty();
    if (path.IsEmpty()) return 0;
    // A dialog may be working on the open list; the file does not take the list from under it.
    if (afx_ui::ModalWindowOpen()) {
        CString text;
        AfxFormatString1(text, IDS_HANDED_OVER_NOT_OPENED, FileNameForDisplay(path.View()));
        AfxLogMessage(text);
        SetMessageText(text);
        return 0;
    }
    // As the open command after its file dialog: the save question first, a file another
    // program holds refused with the framework's message.
    if (CWinApp* app = AfxGetApp()) app->OpenDocumentFile(path);
    return 0;
}
