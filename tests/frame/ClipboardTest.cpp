// Clipboard pickup through the frame layer: the worker's slices and progress, what is not
// picked up (own copies, text at start-up, pickup off), the end of the window during a run,
// and the viewer chain. The offscreen platform keeps a clipboard inside the process, so a
// change made through the clipboard calls stands for another program's copy.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/StringResource.h"
#include "platform/gui/Clipboard.h"
#include "tests/frame/FrameFixture.h"

using testing_support::Utf8;

// The main frame, with a record of every slice it handles.
class CSpyFrame : public CMainFrame {
    DECLARE_DYNCREATE(CSpyFrame)
public:
    struct Chunk {
        int progress;
        int pendingBefore;
        int pendingAfter;
        std::string status;  // UTF-8
    };
    std::vector<Chunk> chunks;
    int runs = 0;
    bool stopAfterFirstChunk = false;
    bool holdAcknowledgement = false;  // the UI thread never gets round to the slice

    static bool Idle() { return s_bPickupIdle; }

protected:
    DECLARE_MESSAGE_MAP()
protected:
    void OnDrawClipboard() {
        const BOOL wasIdle = s_bPickupIdle;
        CMainFrame::OnDrawClipboard();
        if (wasIdle && !s_bPickupIdle) ++runs;
    }
    LRESULT OnChunk(WPARAM w, LPARAM l) {
        if (holdAcknowledgement) {
            chunks.push_back({s_nProgress, s_strPending.GetLength(), -1, ""});
            return 0;
        }
        const int before = s_strPending.GetLength();
        const int progress = s_nProgress;
        if (stopAfterFirstChunk) s_evStop.SetEvent();
        const LRESULT result = CMainFrame::OnClipboardChunk(w, l);
        chunks.push_back({progress, before, s_strPending.GetLength(), Utf8(GetMessageText())});
        return result;
    }
};
IMPLEMENT_DYNCREATE(CSpyFrame)
BEGIN_MESSAGE_MAP(CSpyFrame, CMainFrame)
ON_WM_DRAWCLIPBOARD()
ON_MESSAGE(WM_CLIPBOARD_CHUNK, OnChunk)
END_MESSAGE_MAP()

namespace {

// A viewer of another part of the process: it records what it hears and passes it on.
class CViewerWnd : public CWnd {
public:
    HWND next = nullptr;
    int draws = 0;
    std::vector<std::pair<HWND, HWND>> chainChanges;

protected:
    DECLARE_MESSAGE_MAP()
protected:
    void OnDrawClipboard() {
        ++draws;
        if (next) ::SendMessage(next, WM_DRAWCLIPBOARD);
    }
    void OnChangeCbChain(HWND remove, HWND after) { chainChanges.emplace_back(remove, after); }
};
BEGIN_MESSAGE_MAP(CViewerWnd, CWnd)
ON_WM_DRAWCLIPBOARD()
ON_WM_CHANGECBCHAIN()
END_MESSAGE_MAP()

void CopyAsOtherProgram(const CString& text) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    EXPECT_TRUE(::EmptyClipboard());
    EXPECT_TRUE(::SetClipboardData(CF_TEXT, text));
    EXPECT_TRUE(::CloseClipboard());
}

bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        afx_ui::ProcessEvents();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

std::string ProgressText(int percent) {
    CString s;
    s.Format(AfxLoadString(IDS_CLIPBOARD_PROGRESS), percent);
    return Utf8(s);
}

std::string IdlePrompt() {
    return Utf8(AfxLoadString(AFX_IDS_IDLEMESSAGE));
}

class ClipboardTest : public FrameTest {
protected:
    const CRuntimeClass* FrameClass() const override { return RUNTIME_CLASS(CSpyFrame); }
    void SetUp() override {
        FrameTest::SetUp();
        spy = dynamic_cast<CSpyFrame*>(frame);
        ASSERT_NE(spy, nullptr);
    }
    void StartSpy() {
        StartApp();
        spy = dynamic_cast<CSpyFrame*>(frame);
        ASSERT_NE(spy, nullptr);
    }
    // Copies as another program would and waits for the run it starts to end.
    void PickUp(const CString& text) {
        const int runs = spy->runs;
        CopyAsOtherProgram(text);
        ASSERT_TRUE(PumpUntil([&] { return spy->runs > runs && CSpyFrame::Idle(); }));
        afx_ui::ProcessEvents();
    }
    void Settle() {
        for (int i = 0; i < 20; ++i) afx_ui::ProcessEvents();
        ASSERT_TRUE(PumpUntil([] { return CSpyFrame::Idle(); }));
    }
    std::vector<std::string> Handles(const char* id) {
        std::vector<std::string> result;
        const int p = doc->FindPickup(id);
        if (p < 0) return result;
        const CStringArray& handles = *doc->m_aPickupHandles.GetAt(p);
        for (int i = 0; i < handles.GetSize(); ++i) result.push_back(Utf8(handles.GetAt(i)));
        return result;
    }

    CSpyFrame* spy = nullptr;
};

TEST_F(ClipboardTest, LineOf300BytesComesInTwoSlicesWithTheIdAcrossTheCut) {
    // The ID spans bytes 251..258, across the first slice's end.
    std::string line = std::string(250, '.') + " ABC12345 Blue";
    line.resize(300, ' ');
    PickUp(CString(line));
    ASSERT_EQ(spy->chunks.size(), 2u);
    EXPECT_EQ(spy->chunks[0].pendingBefore, 256);
    EXPECT_EQ(spy->chunks[0].pendingAfter, 256);  // no line ends in the first slice
    EXPECT_EQ(spy->chunks[0].progress, 84);
    EXPECT_EQ(spy->chunks[0].status, ProgressText(84));
    EXPECT_EQ(spy->chunks[1].pendingBefore, 302);
    EXPECT_EQ(spy->chunks[1].pendingAfter, 0);
    EXPECT_EQ(spy->chunks[1].progress, 184);
    EXPECT_EQ(spy->chunks[1].status, IdlePrompt());
    EXPECT_EQ(Handles("ABC12345"), std::vector<std::string>{"Blue"});
}

TEST_F(ClipboardTest, DoubleByteCharacterCutBySliceIsWholeInTheHandle) {
    // "青" takes bytes 255 and 256: the first slice ends after its lead byte.
    std::string line = std::string(245, '.') + " ABC12345 ";
    ASSERT_EQ(line.size(), 255u);
    line += Utf8ToCp932("青い空");
    PickUp(CString(line));
    EXPECT_EQ(spy->chunks.size(), 2u);
    EXPECT_EQ(Handles("ABC12345"), std::vector<std::string>{"青い空"});
}

TEST_F(ClipboardTest, EmptyTextHandsOverOneLineEndAndShowsTheIdlePrompt) {
    PickUp(CString(""));
    ASSERT_EQ(spy->chunks.size(), 1u);
    EXPECT_EQ(spy->chunks[0].pendingBefore, 2);
    EXPECT_EQ(spy->chunks[0].progress, 100);
    EXPECT_EQ(spy->chunks[0].status, IdlePrompt());
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 0);
}

TEST_F(ClipboardTest, LinesEndingInLfAloneWaitForTheFinalLineEnd) {
    std::string text;
    while (text.size() < 600) text += "ABC12345 Blue\n";
    text += "ABD12345 Red\n";
    PickUp(CString(text));
    ASSERT_EQ(spy->chunks.size(), 3u);
    EXPECT_GT(spy->chunks[0].pendingAfter, 0);
    EXPECT_GT(spy->chunks[1].pendingAfter, spy->chunks[0].pendingAfter);
    EXPECT_EQ(spy->chunks[2].pendingAfter, 0);
    // One line: the LF is an ordinary character, so the first handle swallows the next ID.
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 1);
    EXPECT_NE(doc->FindPickup("ABC12345"), -1);
}

TEST_F(ClipboardTest, StopDuringRunDropsTheRestAndAllowsTheNextRun) {
    std::string text = "ABC12345 Blue\r\n" + std::string(600, '.') + "\r\nABD12345 Red";
    spy->stopAfterFirstChunk = true;
    PickUp(CString(text));
    EXPECT_EQ(spy->chunks.size(), 1u);
    EXPECT_NE(doc->FindPickup("ABC12345"), -1);
    EXPECT_EQ(doc->FindPickup("ABD12345"), -1);

    spy->stopAfterFirstChunk = false;
    PickUp(CString("ABE12345 Green"));
    EXPECT_NE(doc->FindPickup("ABE12345"), -1);
}

TEST_F(ClipboardTest, ClosingWhileTheWorkerWaitsForItsSliceEndsTheWorker) {
    spy->holdAcknowledgement = true;
    CopyAsOtherProgram(CString(std::string(2000, 'x')));
    ASSERT_TRUE(PumpUntil([&] { return !spy->chunks.empty(); }));
    EXPECT_FALSE(CSpyFrame::Idle());
    StopApp();  // joins the worker; a worker left waiting would hang here
    EXPECT_TRUE(CSpyFrame::Idle());
}

TEST_F(ClipboardTest, OwnCopyIsNotPickedUpButTheNextChangeIs) {
    spy->CopyToClipboard("ABC12345 Blue");
    Settle();
    EXPECT_EQ(spy->runs, 0);
    EXPECT_EQ(doc->FindPickup("ABC12345"), -1);
    // The copy really is on the clipboard, for other programs to paste.
    ASSERT_TRUE(::OpenClipboard(nullptr));
    CString onClipboard;
    EXPECT_TRUE(::GetClipboardData(CF_TEXT, onClipboard));
    EXPECT_TRUE(::CloseClipboard());
    EXPECT_EQ(onClipboard, "ABC12345 Blue");

    PickUp("ABD12345 Red");
    EXPECT_EQ(spy->runs, 1);
    EXPECT_NE(doc->FindPickup("ABD12345"), -1);
}

TEST_F(ClipboardTest, TextOnTheClipboardAtStartIsNotPickedUp) {
    StopApp();
    CopyAsOtherProgram("ABC12345 Blue");
    afx_ui::ProcessEvents();
    StartSpy();
    Settle();
    EXPECT_EQ(spy->runs, 0);
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 0);
    PickUp("ABD12345 Red");
    EXPECT_NE(doc->FindPickup("ABD12345"), -1);
}

TEST_F(ClipboardTest, PickupSwitchedOffIsKeptInTheProfile) {
    spy->m_bClipboardPickup = FALSE;
    CopyAsOtherProgram("ABC12345 Blue");
    Settle();
    EXPECT_EQ(spy->runs, 0);

    StopApp();
    StartSpy();
    EXPECT_FALSE(spy->m_bClipboardPickup);
    EXPECT_EQ(app->GetProfileInt("Pickup Option", "Clipboard", 1), 0u);
    spy->m_bClipboardPickup = TRUE;
    PickUp("ABD12345 Red");
    EXPECT_NE(doc->FindPickup("ABD12345"), -1);
}

TEST_F(ClipboardTest, ViewerChainPassesNoticesAndHandsOverOnRemoval) {
    CViewerWnd head, next, after;
    const RECT rc{0, 0, 10, 10};
    ASSERT_TRUE(head.Create(nullptr, "head", 0, rc, spy, 1));
    ASSERT_TRUE(next.Create(nullptr, "next", 0, rc, spy, 2));
    ASSERT_TRUE(after.Create(nullptr, "after", 0, rc, spy, 3));
    const HWND hFrame = spy->GetSafeHwnd();

    // A viewer joining later is told of the frame as its next viewer, and a change reaches
    // both, the frame through it.
    head.next = ::SetClipboardViewer(head.GetSafeHwnd());
    EXPECT_EQ(head.next, hFrame);
    Settle();
    PickUp("ABC12345 Blue");
    EXPECT_GE(head.draws, 2);
    EXPECT_NE(doc->FindPickup("ABC12345"), -1);

    // The frame passes notices on even when it ignores them itself.
    spy->m_hWndNextViewer = next.GetSafeHwnd();
    spy->m_bClipboardPickup = FALSE;
    const int before = next.draws;
    CopyAsOtherProgram("ABD12345 Red");
    Settle();
    EXPECT_GT(next.draws, before);

    // Removal of some other viewer goes down the chain unchanged...
    ::ChangeClipboardChain(after.GetSafeHwnd(), nullptr);  // not the head: the head hears it
    ASSERT_EQ(head.chainChanges.size(), 1u);
    ::SendMessage(hFrame, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(head.GetSafeHwnd()),
                  reinterpret_cast<LPARAM>(after.GetSafeHwnd()));
    ASSERT_EQ(next.chainChanges.size(), 1u);
    EXPECT_EQ(next.chainChanges[0], std::make_pair(head.GetSafeHwnd(), after.GetSafeHwnd()));
    EXPECT_EQ(spy->m_hWndNextViewer, next.GetSafeHwnd());
    // ...and removal of the frame's next viewer links the frame to its successor.
    ::SendMessage(hFrame, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(next.GetSafeHwnd()),
                  reinterpret_cast<LPARAM>(after.GetSafeHwnd()));
    EXPECT_EQ(spy->m_hWndNextViewer, after.GetSafeHwnd());
    EXPECT_EQ(next.chainChanges.size(), 1u);

    // The head leaving makes the frame the head again.
    ::ChangeClipboardChain(head.GetSafeHwnd(), hFrame);
    spy->m_hWndNextViewer = nullptr;
    spy->m_bClipboardPickup = TRUE;
    const int headDraws = head.draws;
    PickUp("ABE12345 Green");
    EXPECT_EQ(head.draws, headDraws);
    EXPECT_NE(doc->FindPickup("ABE12345"), -1);
}

}  // namespace
