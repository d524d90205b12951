// The frame layer for the tray icon, resident mode and the global hot key.
#pragma once

#include "frame/PersistantFrame.h"

// Clicks on the tray icon (lParam: the mouse message) and the request to show its menu.
constexpr UINT WM_TRAYNOTIFY = WM_USER + 100;
constexpr UINT WM_TRAYMENU = WM_USER + 101;

class CTrayIconCtrlFrame : public CPersistantFrame {
public:
    CTrayIconCtrlFrame();
    ~CTrayIconCtrlFrame() override;

    void ActivateFrame(int nCmdShow = -1) override;
    // A second start's request to come up and open its file.
    BOOL IsPeerMessage(UINT message) const override;

    // Without a tray to show the icon, the window stays where the user can see it; the status
    // bar and the message log say so, once.
    void AddTrayIcon();
    void RemoveTrayIcon();
    // Keeps the tip of the tray icon (at most 63 bytes are shown).
    void SetTrayTip(const CString& strTip);
    void RegisterAppHotKey();
    void UnregisterAppHotKey();

    // The hot-key control's value (low byte the key, high byte HOTKEYF_*) as RegisterHotKey's
    // modifiers and key.
    static void HotKeyToModifiers(WORD nHotKey, UINT& fsModifiers, UINT& vk);
    // The icon is in a tray the user can see now, so the window may go there.
    BOOL InTray() const;

    BOOL m_bTrayIcon;
    CString m_strTrayTip;
    BOOL m_bResident;
    WORD m_nHotKey;

protected:
    DECLARE_MESSAGE_MAP()
protected:
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnTrayMenu(WPARAM wParam, LPARAM lParam);
    void OnHotKey(UINT nHotKeyId, UINT nKey1, UINT nKey2);
    void OnClose();
    void OnDestroy();
    void OnQuitResident();
    LRESULT OnSecondStart(WPARAM wParam, LPARAM lParam);
    LRESULT OnOpenHandedOver(WPARAM wParam, LPARAM lParam);

private:
    void BringBack();
    void NoteNoTray();

    BOOL m_bNoTrayNoted = FALSE;
    CString m_strHandedOver;  // the file a second start asked for, until it is opened
};
