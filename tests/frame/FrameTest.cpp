#include <gtest/gtest.h>

#include <string>

#include "platform/gui/drawing/CDC.h"
#include "platform/gui/frame/FramePlacement.h"
#include "platform/gui/window/CCmdUI.h"
#include "platform/gui/window/SystemMetrics.h"
#include "platform/gui/window/UiHooks.h"
#include "tests/frame/FrameFixture.h"

using testing_support::MessageBoxAnswerer;
using testing_support::Utf8;

namespace {

// A small window whose map overrides one of its base's handlers and adds its own.
class CBaseWnd : public CWnd {
public:
    int created = 0, baseTimer = 0;

protected:
    DECLARE_MESSAGE_MAP()
protected:
    int OnCreate(LPCREATESTRUCT) {
        ++created;
        return 0;
    }
    void OnTimer(UINT_PTR) { ++baseTimer; }
};
BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
ON_WM_CREATE()
ON_WM_TIMER()
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
public:
    int derivedTimer = 0;
    WPARAM lastW = 0;
    UINT command = 0;

protected:
    DECLARE_MESSAGE_MAP()
protected:
    void OnTimer(UINT_PTR id) {
        ++derivedTimer;
        CBaseWnd::OnTimer(id);
    }
    LRESULT OnPrivate(WPARAM w, LPARAM l) {
        lastW = w;
        return l * 2;
    }
    void OnCommandA() { command = 1; }
    void OnUpdateB(CCmdUI* ui) { ui->Enable(FALSE); }
    void OnCommandB() { command = 2; }
};
BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
ON_WM_TIMER()
ON_MESSAGE(WM_USER + 7, OnPrivate)
ON_COMMAND(100, OnCommandA)
ON_UPDATE_COMMAND_UI(101, OnUpdateB)
ON_COMMAND(101, OnCommandB)
END_MESSAGE_MAP()

// Asks to be destroyed again while it is being destroyed, as Qt's quit does with its close
// requests, and frees itself afterwards like a frame.
class CSelfDeletingWnd : public CWnd {
public:
    static int deleted;
    ~CSelfDeletingWnd() override { ++deleted; }

protected:
    DECLARE_MESSAGE_MAP()
protected:
    void OnDestroy() {
        EXPECT_FALSE(DestroyWindow());
        SendMessage(WM_CLOSE);
    }
    void PostNcDestroy() override { delete this; }
};
int CSelfDeletingWnd::deleted = 0;
BEGIN_MESSAGE_MAP(CSelfDeletingWnd, CWnd)
ON_WM_DESTROY()
END_MESSAGE_MAP()

}  // namespace

TEST(MessageMap, AWindowIsDestroyedOnceWhateverHappensMeanwhile) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    afx_ui::EnsureApplication();
    auto* wnd = new CSelfDeletingWnd;
    RECT rc;
    ASSERT_TRUE(wnd->Create(nullptr, "test", 0, rc, nullptr, 0));
    wnd->SendMessage(WM_CLOSE);
    afx_ui::ProcessEvents();
    EXPECT_EQ(CSelfDeletingWnd::deleted, 1);
}

TEST(MessageMap, HandlersChainToTheBaseAndDisabledCommandsDoNotRun) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    afx_ui::EnsureApplication();
    auto* wnd = new CDerivedWnd;
    RECT rc;
    ASSERT_TRUE(wnd->Create(nullptr, "test", 0, rc, nullptr, 0));
    EXPECT_EQ(wnd->created, 1);  // found in the base's map
    wnd->SendMessage(WM_TIMER, 3);
    EXPECT_EQ(wnd->derivedTimer, 1);
    EXPECT_EQ(wnd->baseTimer, 1);
    EXPECT_EQ(wnd->SendMessage(WM_USER + 7, 5, 21), 42);
    EXPECT_EQ(wnd->lastW, 5u);
    EXPECT_EQ(wnd->SendMessage(WM_USER + 8, 5, 21), 0);  // nobody handles it

    wnd->SendMessage(WM_COMMAND, 101);
    EXPECT_EQ(wnd->command, 0u);
    wnd->SendMessage(WM_COMMAND, 100);
    EXPECT_EQ(wnd->command, 1u);

    // Posted messages arrive through the event loop, and not at all once the window is gone.
    const HWND h = wnd->GetSafeHwnd();
    ASSERT_TRUE(::PostMessage(h, WM_TIMER, 4));
    afx_ui::ProcessEvents();
    EXPECT_EQ(wnd->derivedTimer, 2);
    wnd->DestroyWindow();
    EXPECT_FALSE(IsWindow(h));
    ::PostMessage(h, WM_TIMER, 4);
    afx_ui::ProcessEvents();
    delete wnd;
}

TEST_F(FrameTest, CommandsRouteThroughViewDocumentFrameAndApplication) {
    // Document: save only while modified; pickup redo only with pickups.
    EXPECT_FALSE(frame->IsCommandEnabled(ID_FILE_SAVE));
    EXPECT_FALSE(frame->IsCommandEnabled(ID_PICKUP_REDO));
    doc->AddNewID("ABC12345", "");
    CString text("XYZ00001\r\n");
    doc->PickupText(text);
    EXPECT_TRUE(frame->IsCommandEnabled(ID_FILE_SAVE));
    EXPECT_TRUE(frame->IsCommandEnabled(ID_PICKUP_REDO));
    frame->RunCommand(ID_PICKUP_REDO);
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 0);
    // Application and frame handlers; commands nobody handles are disabled.
    EXPECT_TRUE(frame->IsCommandEnabled(ID_FILE_NEW));
    EXPECT_TRUE(frame->IsCommandEnabled(ID_FILE_SAVE_AS));
    EXPECT_TRUE(frame->IsCommandEnabled(ID_VIEW_TOOLBAR));
    EXPECT_TRUE(frame->IsCommandEnabled(ID_EDIT_COPY));  // the view's, with one row selected

    // The tool bar follows at idle time.
    afx_ui::MarkIdleWork();
    afx_ui::ProcessEvents();
    EXPECT_TRUE(frame->m_wndToolBar.IsButtonEnabled(ID_FILE_SAVE));
    EXPECT_FALSE(frame->m_wndToolBar.IsButtonEnabled(ID_PICKUP_REDO));
    EXPECT_TRUE(frame->m_wndToolBar.IsButtonEnabled(ID_DELETE_ID));  // a row is selected
    EXPECT_TRUE(frame->m_wndToolBar.IsButtonEnabled(ID_PERSONAL_DATA));
}

TEST_F(FrameTest, TitleShowsDocumentAndModifiedMarker) {
    EXPECT_EQ(Utf8(frame->GetWindowText()), "（新規） - Velkon95");
    doc->AddNewID("ABC12345", "");
    EXPECT_EQ(Utf8(frame->GetWindowText()), "（新規）（更新） - Velkon95");
    const std::string path = dir.File("friends.lst");
    doc->SetPathName(path.c_str());
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_EQ(Utf8(frame->GetWindowText()), "friends.lst - Velkon95");
    EXPECT_EQ(app->GetRecentFileCount(), 1);
}

TEST_F(FrameTest, ClosingAModifiedDocumentAsksFirst) {
    doc->AddNewID("ABC12345", "");
    MessageBoxAnswerer answers(IDCANCEL);
    frame->SendMessage(WM_CLOSE);
    ASSERT_EQ(answers.Texts().size(), 1u);
    EXPECT_EQ(answers.Texts()[0], "（新規） は更新されています。\n保存しますか？");
    EXPECT_EQ(app->m_pMainWnd, frame);  // still there
    answers.SetAnswer(IDNO);
    frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
}

TEST_F(FrameTest, CountPanesFitTheirTextExactly) {
    const auto paneWidth = [this](int pane) {
        UINT id = 0, style = 0;
        int cx = 0;
        frame->m_wndStatusBar.GetPaneInfo(pane, id, style, cx);
        return cx;
    };
    EXPECT_EQ(Utf8(frame->m_wndStatusBar.GetPaneText(1)), "登録：0件");
    EXPECT_EQ(Utf8(frame->m_wndStatusBar.GetPaneText(2)), "ﾋﾟｯｸｱｯﾌﾟ：0件");
    frame->SetRegistCount(9);
    afx_ui::ProcessEvents();
    const int nine = paneWidth(1);
    frame->SetRegistCount(10);
    afx_ui::ProcessEvents();
    EXPECT_GT(paneWidth(1), nine);
    CClientDC dc(nullptr);
    dc.SelectObject(frame->m_wndStatusBar.GetFont());
    EXPECT_EQ(paneWidth(1), dc.GetTextExtent(frame->m_strRegistCount).cx);
    // The width is measured again only when the digits grow or shrink; every count of as many
    // digits fits it all the same.
    for (const int count : {11, 47, 88, 99, 100, 7}) {
        frame->SetRegistCount(count);
        afx_ui::ProcessEvents();
        EXPECT_EQ(paneWidth(1), dc.GetTextExtent(frame->m_strRegistCount).cx) << count;
    }
    frame->SetRegistCount(10);
    afx_ui::ProcessEvents();
    EXPECT_EQ(Utf8(frame->m_strTrayTip), "登録：10件  ﾋﾟｯｸｱｯﾌﾟ：0件");
    frame->SetMessageText("link");
    EXPECT_EQ(frame->m_wndStatusBar.GetPaneText(0), "link");
    EXPECT_EQ(Utf8(frame->m_wndStatusBar.GetPaneText(1)), "登録：10件");
}

// A pickup changes the counts for every ID it finds; the panes and the tray tip show where they
// have got to when the event loop wakes, once, whatever came in between.
TEST_F(FrameTest, CountsShowOnceTheLoopWakesWithTheLastOfThem) {
    CStatusBar& bar = frame->m_wndStatusBar;
    frame->SetRegistCount(3);
    for (int i = 1; i <= 5000; ++i) frame->SetPickupCount(i);
    frame->SetShownCount(2, 3);
    EXPECT_EQ(Utf8(bar.GetPaneText(2)), "ﾋﾟｯｸｱｯﾌﾟ：0件");
    EXPECT_EQ(Utf8(frame->m_strTrayTip), "登録：0件  ﾋﾟｯｸｱｯﾌﾟ：0件");
    afx_ui::ProcessEvents();
    EXPECT_EQ(Utf8(bar.GetPaneText(1)), "登録：3件");
    EXPECT_EQ(Utf8(bar.GetPaneText(2)), "ﾋﾟｯｸｱｯﾌﾟ：5000件");
    EXPECT_EQ(Utf8(bar.GetPaneText(3)), "表示：2/3件");
    EXPECT_EQ(Utf8(frame->m_strTrayTip), "登録：3件  ﾋﾟｯｸｱｯﾌﾟ：5000件");

    // Back where they were before the loop wakes: the panes say so, not a count in between.
    frame->SetPickupCount(4999);
    frame->SetShownCount(3, 3);
    frame->SetPickupCount(5000);
    afx_ui::ProcessEvents();
    EXPECT_EQ(Utf8(bar.GetPaneText(2)), "ﾋﾟｯｸｱｯﾌﾟ：5000件");
    EXPECT_EQ(Utf8(bar.GetPaneText(3)), "");

    // The document's own pickup: its counts, once the loop has woken.
    std::string text;
    for (int i = 0; i < 300; ++i) text += "ABQ" + std::to_string(10000 + i) + " Handle\r\n";
    CString buffer(text);
    doc->PickupText(buffer);
    afx_ui::ProcessEvents();
    EXPECT_EQ(Utf8(bar.GetPaneText(2)), "ﾋﾟｯｸｱｯﾌﾟ：300件");
    EXPECT_EQ(Utf8(frame->m_strTrayTip), "登録：3件  ﾋﾟｯｸｱｯﾌﾟ：300件");

    // A change still on its way when the window goes is dropped with it.
    frame->SetPickupCount(7);
}

TEST_F(FrameTest, HelperFormatsHaveDefaultsAndPersist) {
    const char* defaults[] = {"%i", "%h", "%m1", "%m2", "%m3", "TO:%i", "PROF %i"};
    ASSERT_EQ(frame->m_astrHelperFormat.GetSize(), 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(frame->m_astrHelperFormat[i], defaults[i]);
    frame->m_astrHelperFormat[5] = "MAIL %i";
    StopApp();
    StartApp();
    EXPECT_EQ(frame->m_astrHelperFormat[5], "MAIL %i");
    EXPECT_EQ(app->GetProfileString("Helper", "Format6"), "PROF %i");
}

TEST_F(FrameTest, PlacementAndBarStateComeBackNextRun) {
    // The first run writes the rectangle the window had.
    WINDOWPLACEMENT first;
    frame->GetWindowPlacement(&first);
    frame->ShowControlBar(&frame->m_wndToolBar, FALSE, FALSE);
    StopApp();
    {
        CWinApp reader("Velkon95");
        reader.SetRegistryKey("Brambl Free Software");
        EXPECT_EQ(static_cast<LONG>(reader.GetProfileInt("Window", "Width", -1)),
                  first.rcNormalPosition.right - first.rcNormalPosition.left);
        reader.WriteProfileInt("Window", "X Position", 40);
        reader.WriteProfileInt("Window", "Y Position", 30);
        reader.WriteProfileInt("Window", "Width", 500);
        reader.WriteProfileInt("Window", "Height", 300);
        reader.FlushProfile();
    }
    StartApp();
    WINDOWPLACEMENT wp;
    frame->GetWindowPlacement(&wp);
    EXPECT_EQ(wp.rcNormalPosition.left, 40);
    EXPECT_EQ(wp.rcNormalPosition.top, 30);
    EXPECT_EQ(wp.rcNormalPosition.right, 540);
    EXPECT_EQ(wp.rcNormalPosition.bottom, 330);
    CCmdUI state;
    state.m_nID = ID_VIEW_TOOLBAR;
    state.DoUpdate(frame, TRUE);
    EXPECT_EQ(state.m_nCheck, 0);
    state.m_nID = ID_VIEW_STATUS_BAR;
    state.DoUpdate(frame, TRUE);
    EXPECT_EQ(state.m_nCheck, 1);
}

// A placement saved on a larger screen, or at a smaller scale factor, comes back inside this
// screen: shrunk to it and moved in, the title bar, menu and status bar where they can be
// reached. (The window manager's own placing is tested with the real program under X.)
TEST_F(FrameTest, APlacementLargerThanTheScreenIsShrunkToFit) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_GT(screenWidth, 0);
    const struct {
        int x, y, cx, cy;
    } saved[] = {{200, 150, 3000, 2000}, {-500, -400, 640, 400}, {5000, 4000, 300, 200}};
    for (const auto& place : saved) {
        StopApp();
        {
            CWinApp writer("Velkon95");
            writer.SetRegistryKey("Brambl Free Software");
            writer.WriteProfileInt("Window", "X Position", place.x);
            writer.WriteProfileInt("Window", "Y Position", place.y);
            writer.WriteProfileInt("Window", "Width", place.cx);
            writer.WriteProfileInt("Window", "Height", place.cy);
            writer.FlushProfile();
        }
        StartApp();
        RECT rect;
        frame->GetWindowRect(&rect);
        EXPECT_GE(rect.left, 0) << place.x;
        EXPECT_GE(rect.top, 0) << place.y;
        EXPECT_LE(rect.right, screenWidth) << place.cx;
        EXPECT_LE(rect.bottom, screenHeight) << place.cy;
        RECT client;
        frame->GetClientRect(&client);
        if (place.cx > screenWidth) {
            EXPECT_GT(client.right, screenWidth / 2);  // shrunk, not thrown away
            EXPECT_GT(client.bottom, screenHeight / 2);
        } else {
            EXPECT_EQ(client.right, place.cx);  // a size that fits is kept
            EXPECT_EQ(client.bottom, place.cy);
        }
    }

    using afx_frame::FitFrameToArea;
    const RECT area{0, 20, 640, 400};  // a panel above
    const auto same = [](const RECT& a, const RECT& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    EXPECT_TRUE(same(FitFrameToArea({10, 30, 410, 330}, {100, 100}, area), {10, 30, 410, 330}));
    EXPECT_TRUE(same(FitFrameToArea({0, 0, 660, 420}, {100, 100}, area), {0, 20, 640, 400}));
    EXPECT_TRUE(same(FitFrameToArea({500, 300, 700, 500}, {100, 100}, area), {440, 200, 640, 400}));
    // Larger than the area even at its least: the top left stays on it.
    EXPECT_TRUE(same(FitFrameToArea({300, 300, 1000, 900}, {700, 500}, area), {0, 20, 700, 520}));
}

TEST_F(FrameTest, AFileThatCannotBeReadIsReportedAndTheDocumentStays) {
    doc->AddNewID("ABC12345", "");
    doc->SetModifiedFlag(FALSE);
    MessageBoxAnswerer answers(IDOK);
    EXPECT_EQ(app->OpenDocumentFile(dir.Path().c_str()), nullptr);  // a directory
    ASSERT_EQ(answers.Texts().size(), 1u);
    EXPECT_EQ(answers.Texts()[0], "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。\n\n" + dir.Path() +
                                      "\nﾌｫﾙﾀﾞです。ﾌｧｲﾙを指定してください。");
    EXPECT_EQ(doc->GetRecordCount(), 1);
    EXPECT_EQ(app->m_pMainWnd, frame);
}
