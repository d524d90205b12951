// Resident mode: the hidden start with a tray icon, closing to the tray, the quit command with
// its save question, the icon's tip, and the hot key the frame asks the desktop for; a desktop
// without a tray. The offscreen platform has no tray host and no X server, so a tray is stood
// in for (TrayHostFake), registrations are watched through the hot-key hook and the icon
// through the tray's own bookkeeping.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui/application/MessageBox.h"
#include "platform/gui/x11/HotKey.h"
#include "platform/gui/x11/TrayIcon.h"
#include "tests/frame/FrameFixture.h"
#include "tests/frame/TrayHostFake.h"
#include "tests/support/TestFiles.h"

using testing_support::Sjis;
using testing_support::Utf8;

namespace {

struct HotKeyCall {
    bool bRegister;
    HWND hWnd;
    int id;
    UINT fsModifiers;
    UINT vk;
};

class RecordingHotKeys : public HotKeyHook {
public:
    RecordingHotKeys() : m_previous(SetHotKeyHook(this)) {}
    ~RecordingHotKeys() override { SetHotKeyHook(m_previous); }
    BOOL Register(HWND hWnd, int id, UINT fsModifiers, UINT vk) override {
        calls.push_back({true, hWnd, id, fsModifiers, vk});
        return TRUE;
    }
    BOOL Unregister(HWND hWnd, int id) override {
        calls.push_back({false, hWnd, id, 0, 0});
        return TRUE;
    }
    std::vector<HotKeyCall> calls;

private:
    HotKeyHook* m_previous;
};

constexpr UINT kIconId = 128;

}  // namespace

class TrayTest : public FrameTest {
protected:
    // The next run starts with these settings, written back by the running frame's end.
    void Restart(BOOL bResident, WORD nHotKey) {
        frame->m_bResident = bResident;
        frame->m_nHotKey = nHotKey;
        StopApp();
        StartApp();
    }
    bool Visible() const { return frame->IsWindowVisible() != FALSE; }

    TrayHostFake tray{TrayHost::XEmbed};
};

TEST_F(TrayTest, ResidentStartHidesTheWindowUntilTheIconIsDoubleClicked) {
    EXPECT_TRUE(Visible());
    EXPECT_FALSE(frame->m_bTrayIcon);
    EXPECT_FALSE(IsNotifyIconPresent(frame->GetSafeHwnd(), kIconId));

    Restart(TRUE, 0);
    EXPECT_TRUE(frame->m_bResident);
    EXPECT_FALSE(Visible());
    EXPECT_TRUE(frame->m_bTrayIcon);
    EXPECT_TRUE(IsNotifyIconPresent(frame->GetSafeHwnd(), kIconId));

    // Only the double click brings it back; other clicks on the icon leave it in the tray.
    frame->SendMessage(WM_TRAYNOTIFY, kIconId, 0x0201 /* WM_LBUTTONDOWN */);
    EXPECT_FALSE(Visible());
    frame->SendMessage(WM_TRAYNOTIFY, kIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(Visible());
}

// The right click asks for the menu by a posted message, so it comes up after the click is over.
// The right click asks for the menu by a posted message, so it comes up after the click is over.
// The menu runs its own event loop, which returns at once once any main window of this process
// has ended; ctest runs each case in a process of its own, so no restart may come first here.
TEST_F(TrayTest, RightClickOnTheIconShowsTheQuitMenu) {
    frame->AddTrayIcon();
    frame->SendMessage(WM_TRAYNOTIFY, kIconId, WM_RBUTTONDOWN);
    std::vector<std::string> items;
    QTimer::singleShot(0, [&items] {
        QWidget* popup = QApplication::activePopupWidget();
        if (!popup) return;
        for (QAction* action : popup->actions())
            if (!action->isSeparator()) items.push_back(action->text().toStdString());
        popup->close();
    });
    EXPECT_TRUE(items.empty());
    afx_ui::ProcessEvents();
    EXPECT_EQ(items, std::vector<std::string>{"常駐Velkonの終了"});
}

TEST_F(TrayTest, ClosingWithTheIconShownOnlyHidesAndKeepsTheChanges) {
    Restart(TRUE, 0);
    frame->SendMessage(WM_TRAYNOTIFY, kIconId, WM_LBUTTONDBLCLK);
    doc->SetModifiedFlag(TRUE);
    testing_support::MessageBoxAnswerer answerer(IDCANCEL);

    frame->SendMessage(WM_CLOSE);
    afx_ui::ProcessEvents();
    ASSERT_EQ(app->m_pMainWnd, frame);
    EXPECT_FALSE(Visible());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(answerer.Texts().empty());

    // Not resident: closing is the frame's close again, with its question.
    frame->RemoveTrayIcon();
    EXPECT_FALSE(IsNotifyIconPresent(frame->GetSafeHwnd(), kIconId));
    frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(answerer.Texts().size(), 1u);
    EXPECT_EQ(app->m_pMainWnd, frame);
}

TEST_F(TrayTest, QuitResidentAsksAboutSavingThenEndsForReal) {
    Restart(TRUE, 0);
    const HWND hWnd = frame->GetSafeHwnd();
    doc->SetModifiedFlag(TRUE);
    testing_support::MessageBoxAnswerer answerer(IDCANCEL);

    frame->SendMessage(WM_COMMAND, ID_QUIT_RESIDENT);
    ASSERT_EQ(answerer.Texts().size(), 1u);
    EXPECT_EQ(app->m_pMainWnd, frame);
    EXPECT_TRUE(IsNotifyIconPresent(hWnd, kIconId));

    answerer.SetAnswer(IDNO);
    frame->SendMessage(WM_COMMAND, ID_QUIT_RESIDENT);
    afx_ui::ProcessEvents();
    EXPECT_EQ(answerer.Texts().size(), 2u);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_FALSE(IsNotifyIconPresent(hWnd, kIconId));
    EXPECT_FALSE(IsWindow(hWnd));
}

TEST_F(TrayTest, TipFollowsTheCountsAndNeverSplitsACharacter) {
    Restart(TRUE, 0);
    const HWND hWnd = frame->GetSafeHwnd();
    const std::string tip = Utf8(GetNotifyIconTip(hWnd, kIconId));
    EXPECT_NE(tip.find("登録："), std::string::npos) << tip;
    EXPECT_NE(tip.find("件  ﾋﾟｯｸｱｯﾌﾟ："), std::string::npos) << tip;

    // 31 double-byte characters fill 62 bytes; the 32nd would straddle the 63-byte limit.
    std::string utf8;
    for (int i = 0; i < 40; ++i) utf8 += "漢";
    frame->SetTrayTip(Sjis(utf8.c_str()));
    EXPECT_EQ(GetNotifyIconTip(hWnd, kIconId).GetLength(), 62);
    EXPECT_EQ(frame->m_strTrayTip.GetLength(), 80);

    // A half-width tail fills the field to 63 bytes.
    frame->SetTrayTip(Sjis(("A" + utf8).c_str()));
    EXPECT_EQ(GetNotifyIconTip(hWnd, kIconId).GetLength(), 63);

    // Without the icon the tip is only kept for when the icon comes.
    frame->RemoveTrayIcon();
    frame->SetTrayTip("x");
    frame->AddTrayIcon();
    EXPECT_EQ(Utf8(GetNotifyIconTip(hWnd, kIconId)), "x");
}

TEST_F(TrayTest, HotKeyIsRegisteredFromFirstActivationToDestruction) {
    RecordingHotKeys hotKeys;
    const WORD ctrlAltK =
        static_cast<WORD>(((HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT) << 8) | 'K');
    HWND hWnd = frame->GetSafeHwnd();
    Restart(FALSE, ctrlAltK);
    // The first run had no key; its end only gives up the (absent) registration.
    ASSERT_EQ(hotKeys.calls.size(), 2u);
    EXPECT_FALSE(hotKeys.calls[0].bRegister);
    EXPECT_EQ(hotKeys.calls[0].hWnd, hWnd);
    EXPECT_EQ(hotKeys.calls[0].id, 128);
    const HotKeyCall& reg = hotKeys.calls[1];
    EXPECT_TRUE(reg.bRegister);
    EXPECT_EQ(reg.hWnd, frame->GetSafeHwnd());
    EXPECT_EQ(reg.id, 128);
    EXPECT_EQ(reg.fsModifiers, MOD_CONTROL | MOD_ALT);
    EXPECT_EQ(reg.vk, static_cast<UINT>('K'));

    hWnd = frame->GetSafeHwnd();
    Restart(FALSE, static_cast<WORD>((HOTKEYF_SHIFT << 8) | VK_F1));
    ASSERT_EQ(hotKeys.calls.size(), 4u);
    EXPECT_FALSE(hotKeys.calls[2].bRegister);
    EXPECT_EQ(hotKeys.calls[2].hWnd, hWnd);
    EXPECT_TRUE(hotKeys.calls[3].bRegister);
    EXPECT_EQ(hotKeys.calls[3].fsModifiers, MOD_SHIFT);
    EXPECT_EQ(hotKeys.calls[3].vk, VK_F1);

    // No key chosen: nothing is asked for.
    Restart(FALSE, 0);
    ASSERT_EQ(hotKeys.calls.size(), 5u);
    EXPECT_FALSE(hotKeys.calls[4].bRegister);
}

TEST_F(TrayTest, HotKeyBringsTheHiddenWindowBack) {
    Restart(TRUE, static_cast<WORD>((HOTKEYF_ALT << 8) | 'V'));
    EXPECT_FALSE(Visible());
    frame->SendMessage(WM_HOTKEY, 128, MAKELPARAM(MOD_ALT, 'V'));
    EXPECT_TRUE(Visible());
}

TEST_F(TrayTest, SettingsAreKeptAcrossRuns) {
    Restart(TRUE, 0x0641);
    EXPECT_TRUE(frame->m_bResident);
    EXPECT_EQ(frame->m_nHotKey, 0x0641);
    EXPECT_EQ(app->GetProfileInt("Execute Option", "Resident", -1), 1u);
    EXPECT_EQ(app->GetProfileInt("Execute Option", "Hot Key", -1), 0x0641u);
    Restart(FALSE, 0);
    EXPECT_FALSE(frame->m_bResident);
    EXPECT_EQ(frame->m_nHotKey, 0);
    EXPECT_TRUE(Visible());
}

// Without a tray the window would be lost once hidden: it stays, and the user learns why once.
TEST_F(TrayTest, WithoutATrayTheWindowStaysAndClosingEndsAsWithoutResidentMode) {
    const std::string log = dir.File("messages.log");
    ::setenv("VELKON_MESSAGE_LOG", log.c_str(), 1);
    tray.Set(TrayHost::None);
    Restart(TRUE, 0);
    EXPECT_TRUE(Visible());
    EXPECT_TRUE(frame->m_bTrayIcon);  // kept, for a tray that comes later
    EXPECT_FALSE(frame->InTray());
    const std::string note = "ﾀｽｸﾄﾚｲがないため、ｳｨﾝﾄﾞｳを隠さずに表示しておきます。";
    EXPECT_EQ(Utf8(frame->GetMessageText()), note);

    // The options page switching resident mode on again says nothing more.
    frame->RemoveTrayIcon();
    frame->AddTrayIcon();
    ::unsetenv("VELKON_MESSAGE_LOG");
    EXPECT_EQ(testing_support::ReadFile(log), note + "\n");

    // A tray that turns up takes the window from then on.
    tray.Set(TrayHost::StatusNotifier);
    EXPECT_TRUE(frame->InTray());
    frame->SendMessage(WM_CLOSE);
    EXPECT_FALSE(Visible());
    frame->SendMessage(WM_TRAYNOTIFY, kIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(Visible());

    // Gone again: closing is the frame's own close, with the save question.
    tray.Set(TrayHost::None);
    doc->SetModifiedFlag(TRUE);
    testing_support::MessageBoxAnswerer answerer(IDNO);
    frame->SendMessage(WM_CLOSE);
    afx_ui::ProcessEvents();
    EXPECT_EQ(answerer.Texts().size(), 1u);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
}

TEST(HotKeyPlatform, KeysMapToXSymbolsAndNothingIsGrabbedWithoutX11) {
    EXPECT_EQ(KeySymFromVirtualKey('A'), 0x61u);  // XK_a
    EXPECT_EQ(KeySymFromVirtualKey('Z'), 0x7Au);
    EXPECT_EQ(KeySymFromVirtualKey('0'), 0x30u);
    EXPECT_EQ(KeySymFromVirtualKey(VK_F1), 0xFFBEu);
    EXPECT_EQ(KeySymFromVirtualKey(VK_F12), 0xFFC9u);
    EXPECT_EQ(KeySymFromVirtualKey(VK_SPACE), 0x20u);
    EXPECT_EQ(KeySymFromVirtualKey(0), 0u);
    EXPECT_EQ(KeySymFromVirtualKey(0xE5), 0u);

    afx_ui::EnsureApplication();
    EXPECT_FALSE(RegisterHotKey(nullptr, 1, MOD_CONTROL, 'K'));
    EXPECT_FALSE(UnregisterHotKey(nullptr, 1));
}
