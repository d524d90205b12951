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

    void AddTrayIcon();
    void RemoveTrayIcon();
    // Keeps the tip of the tray icon (at most 63 bytes are shown).
    void SetTrayTip(const CString& strTip);
    void RegisterAppHotKey();
    void UnregisterAppHotKey();

    // The hot-key control's value (low byte the key, high byte HOTKEYF_*) as RegisterHotKey's
    // modifiers and key.
    static void HotKeyToModifiers(WORD nHotKey, UINT& fsModifiers, UINT& vk);

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

private:
    void BringBack();
};
