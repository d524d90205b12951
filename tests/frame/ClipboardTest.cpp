// Clipboard pickup through the frame layer: the worker's slices, the IDs found in each and their
// progress, several
// slices to a wake-up, line ends both ways, long lines, what is not picked up (the program's own
// copies, text at start-up, pickup off), the end of the window during a run, the viewer chain,
// and the text forms X programs offer. The offscreen platform keeps a clipboard inside the
// process, so a change made through the clipboard calls without a window, or through Qt's
// clipboard, stands for another program's copy.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/StringResource.h"
#include "platform/gui/x11/Clipboard.h"
#include "tests/frame/FrameFixture.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestFiles.h"

using testing_support::Sjis;
using testing_support::Utf8;

// The main frame, with a record of every slice it hands to the document and of the status bar
// at the end of every wake-up.
class CSpyFrame : public CMainFrame {
    DECLARE_DYNCREATE(CSpyFrame)
public:
    struct Slice {
        int progress;
        int ids;  // found in the slice; -1 when it was never handed to the document
    };
    std::vector<Slice> slices;
    std::vector<std::string> statuses;  // UTF-8, one per wake-up
    int runs = 0;
    bool stopAfterFirstChunk = false;
    bool slowFirstSlice = false;       // the first slice takes longer than a wake-up may
    bool holdAcknowledgement = false;  // the UI thread never gets round to the slice
    bool refuseWorker = false;         // as when the user's limit of processes is reached
    // Stands for the next change's text: another program's, still arriving.
    std::shared_ptr<CClipboardTextStream> arriving;

    static bool Idle() { return s_bPickupIdle; }
    // What the text of the last run still holds once its slices are cut.
    static std::size_t ClipTextRoom() { return s_pClipText ? s_pClipText->Held() : 0; }

protected:
    DECLARE_MESSAGE_MAP()
protected:
    void OnDrawClipboard() {
        const BOOL wasIdle = s_bPickupIdle;
        CMainFrame::OnDrawClipboard();
        if (wasIdle && !s_bPickupIdle) ++runs;
    }
    std::shared_ptr<CClipboardTextStream> ClipboardText() override {
        if (arriving) return std::exchange(arriving, nullptr);
        return CMainFrame::ClipboardText();
    }
    CWinThread* BeginPickupWorker() override {
        return refuseWorker ? nullptr : CMainFrame::BeginPickupWorker();
    }
    void PickupSlice(const CFoundIds& found) override {
        if (stopAfterFirstChunk) StopPickup();
        if (slowFirstSlice && slices.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(3 * kChunkBudgetMs));
        CMainFrame::PickupSlice(found);
        slices.push_back({s_nProgress, static_cast<int>(found.Size())});
    }
    LRESULT OnChunk(WPARAM w, LPARAM l) {
        if (holdAcknowledgement) {
            slices.push_back({s_nProgress, -1});
            return 0;
        }
        const LRESULT result = CMainFrame::OnClipboardChunk(w, l);
        statuses.push_back(Utf8(GetMessageText()));
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

// The clipboard as other programs see it: UTF-8, their line ends.
std::string Outside() {
    return QGuiApplication::clipboard()->text().toStdString();
}

bool PumpUntil(const std::function<bool()>& done) {
    return testing_support::RunEventsUntil(done);
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
        PickUpAfter([&] { CopyAsOtherProgram(text); });
    }
    void PickUpAfter(const std::function<void()>& copy) {
        const int runs = spy->runs;
        copy();
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
    // The ID spans bytes 251..258, across the first slice's end. The first slice takes longer
    // than a wake-up may, so the second comes with a wake-up of its own.
    std::string line = std::string(250, '.') + " ABC12345 Blue";
    line.resize(300, ' ');
    spy->slowFirstSlice = true;
    PickUp(CString(line));
    ASSERT_EQ(spy->slices.size(), 2u);
    EXPECT_EQ(spy->slices[0].ids, 0);  // the line has not ended yet
    EXPECT_EQ(spy->slices[0].progress, 84);
    EXPECT_EQ(spy->slices[1].ids, 1);
    EXPECT_EQ(spy->slices[1].progress, 100);
    EXPECT_EQ(spy->statuses, (std::vector<std::string>{ProgressText(84), IdlePrompt()}));
    EXPECT_EQ(Handles("ABC12345"), std::vector<std::string>{"Blue"});
}

TEST_F(ClipboardTest, DoubleByteCharacterCutBySliceIsWholeInTheHandle) {
    // "青" takes bytes 255 and 256: the first slice ends after its lead byte.
    std::string line = std::string(245, '.') + " ABC12345 ";
    ASSERT_EQ(line.size(), 255u);
    line += Utf8ToCp932("青い空");
    PickUp(CString(line));
    EXPECT_EQ(spy->slices.size(), 2u);
    EXPECT_EQ(Handles("ABC12345"), std::vector<std::string>{"青い空"});
}

TEST_F(ClipboardTest, EmptyTextHandsOverOneLineEndAndShowsTheIdlePrompt) {
    PickUp(CString(""));
    ASSERT_EQ(spy->slices.size(), 1u);
    EXPECT_EQ(spy->slices[0].ids, 0);
    EXPECT_EQ(spy->slices[0].progress, 100);
    EXPECT_EQ(spy->statuses, std::vector<std::string>{IdlePrompt()});
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 0);
}

TEST_F(ClipboardTest, AWakeUpTakesManySlicesEachInTurnWithItsOwnProgress) {
    std::string text;
    for (int i = 0; i < 4000; ++i) {
        char line[40];
        std::snprintf(line, sizeof line, "%c%c%c%05d Handle%d\r\n", 'A' + i % 26, 'A' + i / 26 % 26,
                      'Q', i, i % 7);
        text += line;
    }
    // Two of them registered: the list ends on the later one, as the picks one by one would
    // leave it, though a wake-up shows its picks only once.
    doc->AddNewID("KLQ03000", "late");
    doc->AddNewID("KAQ00010", "early");  // selected, as a record added is
    PickUp(CString(text));
    auto* view = dynamic_cast<CVelkonView*>(frame->GetActiveView());
    ASSERT_NE(view, nullptr);
    CListCtrl& list = view->GetListCtrl();
    EXPECT_EQ(list.GetSelectedCount(), 1u);
    const int selected = list.GetNextItem(-1, LVNI_SELECTED | LVNI_FOCUSED);
    ASSERT_GE(selected, 0);
    EXPECT_EQ(static_cast<int>(list.GetItemData(selected)), doc->FindID("KLQ03000"));
    EXPECT_EQ(view->m_nCurrent, doc->FindID("KLQ03000"));
    const std::size_t total = text.size() + 2;
    ASSERT_EQ(spy->slices.size(), (total + 255) / 256);
    // Each slice is handed over in order, with the IDs of the lines it ended.
    int found = 0;
    for (std::size_t k = 0; k < spy->slices.size(); ++k) {
        const auto& slice = spy->slices[k];
        EXPECT_EQ(static_cast<std::size_t>(slice.progress),
                  std::min((k + 1) * 256, total) * 100 / total);
        // 14 or 15 lines of 17 to 19 bytes end in every slice but the last
        if (k + 1 < spy->slices.size()) {
            EXPECT_GE(slice.ids, 13) << k;
        }
        found += slice.ids;
    }
    EXPECT_EQ(found, 4000);
    EXPECT_LT(spy->statuses.size(), spy->slices.size() / 4);
    EXPECT_EQ(spy->statuses.back(), IdlePrompt());
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 4000);
    EXPECT_EQ(Handles("BAQ00001"), std::vector<std::string>{"Handle1"});
    // The text's memory went back with the run, not at the next copy.
    EXPECT_LT(CSpyFrame::ClipTextRoom(), 64u);
}

// Another program's text still crossing the X connection when the run begins: its lines are
// picked up as they come, the progress stays under 100 % while the length is the owner's guess,
// and the run ends, at the idle prompt, when the text does. A text cut short ends with the user
// told, once, and what came of it picked up.
TEST_F(ClipboardTest, TextStillArrivingIsPickedUpAsItComesAndTheRunEndsWithIt) {
    auto text = std::make_shared<CClipboardTextStream>();
    text->Expect(1 << 20);  // far more than will come
    text->Add("ABC12345 Blue\r\n", 15);
    spy->arriving = text;
    CopyAsOtherProgram("stands for the text");
    ASSERT_TRUE(PumpUntil([&] { return doc->FindPickup("ABC12345") >= 0; }));
    EXPECT_FALSE(CSpyFrame::Idle());  // the rest is still to come
    // What has been shown so far: the progress of a text whose end has not come.
    const std::size_t slicesBefore = spy->slices.size();
    const std::size_t statusesBefore = spy->statuses.size();
    ASSERT_GT(slicesBefore, 0u);
    ASSERT_GT(statusesBefore, 0u);
    std::string rest;
    for (int i = 0; i < 2000; ++i) rest += "XYQ" + std::to_string(10000 + i) + " Red\r\n";
    text->Add(rest, rest.size());
    text->End(true);
    ASSERT_TRUE(PumpUntil([] { return CSpyFrame::Idle(); }));
    afx_ui::ProcessEvents();
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 2001);
    EXPECT_EQ(Handles("XYQ11999"), std::vector<std::string>{"Red"});
    EXPECT_EQ(spy->statuses.back(), IdlePrompt());
    for (std::size_t k = 0; k < slicesBefore; ++k) EXPECT_LT(spy->slices[k].progress, 100) << k;
    for (std::size_t k = 0; k < statusesBefore; ++k) EXPECT_NE(spy->statuses[k], IdlePrompt()) << k;

    testing_support::TempDir dir;
    const std::string log = dir.File("messages.log");
    ::setenv("VELKON_MESSAGE_LOG", log.c_str(), 1);
    auto cut = std::make_shared<CClipboardTextStream>();
    cut->Add("DEF12345 Green\r\nDEF1", 20);
    cut->End(false);
    spy->arriving = cut;
    PickUp(CString("stands for the cut text"));
    ::unsetenv("VELKON_MESSAGE_LOG");
    EXPECT_NE(doc->FindPickup("DEF12345"), -1);
    const std::string told = Utf8(AfxLoadString(AFX_IDS_CLIPBOARD_CUT));
    EXPECT_EQ(Utf8(spy->GetMessageText()), told);
    EXPECT_EQ(testing_support::ReadFile(log), told + "\n");
}

TEST_F(ClipboardTest, WithoutAWorkerTheTextIsPickedUpWholeAndTheUserIsTold) {
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "ABQ" + std::to_string(10000 + i) + " Handle\r\n";
    spy->refuseWorker = true;
    CopyAsOtherProgram(CString(text));
    Settle();
    EXPECT_TRUE(spy->slices.empty());
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 2000);
    EXPECT_EQ(Handles("ABQ11999"), std::vector<std::string>{"Handle"});
    EXPECT_EQ(Utf8(spy->GetMessageText()), Utf8(AfxLoadString(AFX_IDS_CLIPBOARD_NO_THREAD)));
    EXPECT_LT(CSpyFrame::ClipTextRoom(), 64u);
    // The next change gets its worker again.
    spy->refuseWorker = false;
    PickUp(CString("XYZ00001 back\r\n"));
    EXPECT_FALSE(spy->slices.empty());
    EXPECT_EQ(Handles("XYZ00001"), std::vector<std::string>{"back"});
}

TEST_F(ClipboardTest, LoneLfEndsLinesComingInAndCrLfBecomesLfGoingOut) {
    // As a terminal or a browser copies: UTF-8 with LF line ends; a zero byte in it goes, and
    // hides nothing after it.
    PickUpAfter([] {
        const std::string utf8(
            "ABC12345 Blue\nXYZ\0"
            "00001 Red\r\nQRS00002 青い空\n\0",
            49);
        QGuiApplication::clipboard()->setText(
            QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    });
    EXPECT_EQ(Handles("ABC12345"), std::vector<std::string>{"Blue"});
    EXPECT_EQ(Handles("XYZ00001"), std::vector<std::string>{"Red"});
    EXPECT_EQ(Handles("QRS00002"), std::vector<std::string>{"青い空"});
    ASSERT_TRUE(::OpenClipboard(nullptr));
    CString text;
    EXPECT_TRUE(::GetClipboardData(CF_TEXT, text));
    EXPECT_TRUE(::CloseClipboard());
    EXPECT_EQ(Utf8(text), "ABC12345 Blue\r\nXYZ00001 Red\r\nQRS00002 青い空\r\n");

    spy->CopyToClipboard(Sjis("TO:ABC12345\r\n青い空\rend\r\n"));
    Settle();
    EXPECT_EQ(Outside(), "TO:ABC12345\n青い空\rend\n");  // a lone CR stays
}

TEST_F(ClipboardTest, ALineLongerThanTheWaitingLimitIsScannedInPiecesAndKeepsItsIds) {
    // 300 KB without a line end, IDs all through it: they are picked up as the line comes, not
    // when it ends, and no ID is lost, whichever piece it falls into.
    std::string text;
    int ids = 0;
    while (text.size() < 300 * 1024) {
        char id[16];
        std::snprintf(id, sizeof id, "%c%cZ%05d", 'A' + ids % 26, 'A' + ids / 26 % 26, ids);
        text += " chatter chatter " + std::string(id) + " Blue, more chatter and ";
        ++ids;
    }
    PickUp(CString(text));
    int found = 0;
    for (const auto& slice : spy->slices) {
        // By the time 100 KB have come, most of the first were picked up.
        if (found == 0 && slice.progress >= 33) FAIL() << "no ID before " << slice.progress << "%";
        found += slice.ids;
    }
    EXPECT_EQ(found, ids);
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), ids);
    for (int p = 0; p < doc->m_astrPickupID.GetSize(); ++p)
        EXPECT_EQ(Handles(doc->m_astrPickupID[p]), std::vector<std::string>{"Blue"})
            << Utf8(doc->m_astrPickupID[p]);
}

TEST_F(ClipboardTest, StopDuringRunDropsTheRestAndAllowsTheNextRun) {
    std::string text = "ABC12345 Blue\r\n" + std::string(600, '.') + "\r\nABD12345 Red";
    spy->stopAfterFirstChunk = true;
    PickUp(CString(text));
    EXPECT_EQ(spy->slices.size(), 1u);
    EXPECT_NE(doc->FindPickup("ABC12345"), -1);
    EXPECT_EQ(doc->FindPickup("ABD12345"), -1);

    spy->stopAfterFirstChunk = false;
    PickUp(CString("ABE12345 Green"));
    EXPECT_NE(doc->FindPickup("ABE12345"), -1);
}

TEST_F(ClipboardTest, ClosingWhileTheWorkerWaitsForItsSliceEndsTheWorker) {
    spy->holdAcknowledgement = true;
    CopyAsOtherProgram(CString(std::string(2000, 'x')));
    ASSERT_TRUE(PumpUntil([&] { return !spy->slices.empty(); }));
    EXPECT_FALSE(CSpyFrame::Idle());
    StopApp();  // joins the worker; a worker left waiting would hang here
    EXPECT_TRUE(CSpyFrame::Idle());
}

TEST_F(ClipboardTest, TheProgramsOwnCopiesAreNotPickedUpWhoeverMadeThem) {
    spy->CopyToClipboard("ABC12345 Blue");
    Settle();
    EXPECT_EQ(spy->runs, 0);
    EXPECT_EQ(::GetClipboardOwner(), spy->GetSafeHwnd());
    // The copy really is on the clipboard, for other programs to paste.
    EXPECT_EQ(Outside(), "ABC12345 Blue");

    // Another window of the program, copying through the clipboard calls, twice before the
    // frame hears of it.
    CViewerWnd other;
    ASSERT_TRUE(other.Create(nullptr, "other", 0, RECT{0, 0, 10, 10}, spy, 1));
    for (const char* copy : {"ABD12345 Red", "ABE12345 Green"}) {
        ASSERT_TRUE(::OpenClipboard(other.GetSafeHwnd()));
        ::EmptyClipboard();
        ::SetClipboardData(CF_TEXT, copy);
        ::CloseClipboard();
    }
    Settle();
    EXPECT_EQ(spy->runs, 0);
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 0);

    // Another program's copy is picked up, at once.
    PickUp("ABF12345 Red");
    EXPECT_EQ(spy->runs, 1);
    EXPECT_EQ(::GetClipboardOwner(), nullptr);
    EXPECT_NE(doc->FindPickup("ABF12345"), -1);
}

TEST_F(ClipboardTest, CtrlCInTheChoosersListPutsNothingOnTheClipboard) {
    doc->AddNewID("ABC12345", "Blue");  // the view selects the new record
    doc->SetModifiedFlag(FALSE);
    QGuiApplication::clipboard()->setText("before");
    Settle();
    const int runs = spy->runs;
    const int picked = doc->m_astrPickupID.GetSize();
    {
        testing_support::DialogScript script;
        script.Then([](CDialog* d) {
            testing_support::PressChord(d, IDC_EXPANDED_FORMATS, Qt::Key_C, Qt::ControlModifier);
            d->EndDialog(IDCANCEL);
        });
        spy->SendMessage(WM_COMMAND, ID_EDIT_COPY);
        EXPECT_EQ(script.Shown(), 1);
    }
    Settle();
    EXPECT_EQ(Outside(), "before");
    EXPECT_EQ(spy->runs, runs);
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), picked);
    EXPECT_FALSE(doc->IsModified());
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
