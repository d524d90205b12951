// The terminal link against a stand-in terminal in a process of its own
// (FakeHideterm): attach on the first tick and the status texts, detach and re-attach, received
// text through the layer's own buffer (LF line ends, a session without any), what steers a
// terminal kept out of the handles, a text longer than the layer reads, the pickup switch,
// sending, and the detach at the end.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/StringResource.h"
#include "platform/ipc/Handles.h"
#include "platform/ipc/Kernel.h"
#include "platform/ipc/RemoteWindows.h"
#include "platform/ipc/ServedConnection.h"
#include "tests/frame/FrameFixture.h"
#include "tests/support/FakePeer.h"

using namespace std::chrono_literals;
using testing_support::FakePeer;
using testing_support::Hex;
using testing_support::OpenFdCount;
using testing_support::Sjis;
using testing_support::Utf8;

namespace {

std::string HandleText(HWND h) {
    char buffer[32];
    std::snprintf(buffer, sizeof(buffer), "%llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(h)));
    return buffer;
}

std::string Status(UINT id) {
    return Utf8(AfxLoadString(id));
}

}  // namespace

class HidetermTest : public FrameTest {
protected:
    // The terminal runs before the program starts, as it does for most users.
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", dir.Path().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        afx_ui::EnsureApplication();
        afx_handles::SetRemoteTimeout(5000);
        StartPeer();
        StartApp();
    }
    void TearDown() override {
        StopApp();
        peer.reset();
        afx_handles::SetRemoteTimeout(5000);
    }
    void StartPeer() {
        peer = std::make_unique<FakePeer>(FAKE_HIDETERM);
        ASSERT_TRUE(peer->Ready());
    }
    CHidetermCtrlFrame* Layer() { return frame; }
    // One tick of the link poll, without waiting a second for it.
    void Tick() { frame->SendMessage(WM_TIMER, HIDETERM_TIMER_ID); }
    void Attach() {
        Tick();
        ASSERT_EQ(peer->WaitFor("ATTACH"), "ATTACH " + HandleText(frame->GetSafeHwnd()));
    }
    // The terminal sends `bytes` in one WM_HT_TEXT (a mapping of `size` bytes, 0: length + 1).
    void TerminalSends(const std::string& bytes, int size = 0) {
        peer->Command("text " + Hex(bytes) + (size ? " " + std::to_string(size) : ""));
        ASSERT_EQ(peer->WaitFor("SENT"), "SENT 1");
    }
    std::string Buffer() { return Utf8(frame->m_strHidetermText); }
    std::vector<std::string> Handles(const char* id) {
        std::vector<std::string> result;
        const int p = doc->FindPickup(id);
        if (p < 0) return result;
        const CStringArray& handles = *doc->m_aPickupHandles.GetAt(p);
        for (int i = 0; i < handles.GetSize(); ++i) result.push_back(Utf8(handles.GetAt(i)));
        return result;
    }

    std::unique_ptr<FakePeer> peer;
};

TEST_F(HidetermTest, AttachesOnTheFirstTickAfterActivationAndShows52000) {
    EXPECT_FALSE(frame->m_bHidetermLinked);
    EXPECT_EQ(peer->WaitFor("ATTACH", 5000), "ATTACH " + HandleText(frame->GetSafeHwnd()));
    EXPECT_TRUE(frame->m_bHidetermLinked);
    EXPECT_EQ(Utf8(frame->GetMessageText()), Status(IDS_HIDETERM_ATTACHED));
    EXPECT_EQ(Status(IDS_HIDETERM_ATTACHED), "秀Termに接続しました。");
    // Found again on the following ticks: nothing more is sent.
    Tick();
    Tick();
    EXPECT_EQ(peer->Collect("ATTACH", 100).size(), 1u);
}

TEST_F(HidetermTest, DetachIsShownOnceWhenTheTerminalGoesAndItIsAttachedAgainWhenItComesBack) {
    Attach();
    peer->Kill();
    Tick();
    EXPECT_FALSE(frame->m_bHidetermLinked);
    EXPECT_EQ(Utf8(frame->GetMessageText()), Status(IDS_HIDETERM_DETACHED));
    EXPECT_EQ(Status(IDS_HIDETERM_DETACHED), "秀Termから切り離されました。");
    frame->SetMessageText("other");
    Tick();
    Tick();
    EXPECT_EQ(Utf8(frame->GetMessageText()), "other");

    StartPeer();
    Tick();
    EXPECT_EQ(peer->WaitFor("ATTACH"), "ATTACH " + HandleText(frame->GetSafeHwnd()));
    EXPECT_TRUE(frame->m_bHidetermLinked);
    EXPECT_EQ(Utf8(frame->GetMessageText()), Status(IDS_HIDETERM_ATTACHED));
}

TEST_F(HidetermTest, ALineSplitAcrossTwoMessagesIsPickedUpWhenItsLineEndArrives) {
    Attach();
    TerminalSends("From ABC12");
    EXPECT_EQ(doc->FindPickup("ABC12345"), -1);
    EXPECT_EQ(Buffer(), "From ABC12");
    TerminalSends(std::string("345 ") + Sjis("青い空").Str() + "\r\nXYZ");
    EXPECT_GE(doc->FindPickup("ABC12345"), 0);
    EXPECT_EQ(Buffer(), "XYZ");
    // A mapping larger than its text: read up to the first zero byte.
    TerminalSends("99999\r\nDEF67890 x\r\n", 4096);
    EXPECT_GE(doc->FindPickup("DEF67890"), 0);
    EXPECT_EQ(Buffer(), "");
    // A mapping without any zero byte is read to its end and not one byte further.
    TerminalSends("GHI11111 y\r\n", 12);
    EXPECT_GE(doc->FindPickup("GHI11111"), 0);
}

TEST_F(HidetermTest, ALoneLfEndsALineAndACrLfCutBetweenMessagesStaysOneLineEnd) {
    // A program in raw mode ends its lines with LF alone.
    Attach();
    TerminalSends("ABC12345 Blue\nXYZ00001 Red\r");
    EXPECT_EQ(Handles("ABC12345"), std::vector<std::string>{"Blue"});
    EXPECT_EQ(Buffer(), "XYZ00001 Red\r");
    TerminalSends("\nQRS00002 Green\n\nDEF");
    EXPECT_EQ(Handles("XYZ00001"), std::vector<std::string>{"Red"});
    EXPECT_EQ(Handles("QRS00002"), std::vector<std::string>{"Green"});
    EXPECT_EQ(Buffer(), "DEF");
}

TEST_F(HidetermTest, TerminalSequencesAndCrCrLfLeaveNoControlByteInAHandle) {
    Attach();
    // The terminal's clipboard and a colour in the handle, CR LF through a cooked terminal.
    TerminalSends("ABC12345 name\x1b]52;c;ZXZpbA==\x07\x1b[31m more\r\r\n");
    EXPECT_EQ(Handles("ABC12345"), std::vector<std::string>{"name more"});
    // A title, a colour and the line end each cut between two messages.
    TerminalSends("DEF67890 \x1b]2;ti");
    TerminalSends(
        "tle\x07"
        "Blue\x1b");
    TerminalSends("[0m sky\x08\r\r");
    EXPECT_EQ(doc->FindPickup("DEF67890"), -1);
    TerminalSends("\nGHI11111 \x1bP1$r\x07q\x1b");
    EXPECT_EQ(Handles("DEF67890"), std::vector<std::string>{"Blue sky"});
    TerminalSends("\\Red\x1b_x\x1b\\\r\r\n");
    EXPECT_EQ(Handles("GHI11111"), std::vector<std::string>{"Red"});
    EXPECT_EQ(Buffer(), "");
    // A lone CR starts the line over on the screen: it ends the line here.
    TerminalSends("JKL22222 10%\rJKL22222 done\r\n");
    EXPECT_EQ(Handles("JKL22222"), (std::vector<std::string>{"10%", "done"}));
    for (const char* id : {"ABC12345", "DEF67890", "GHI11111", "JKL22222"})
        for (const std::string& handle : Handles(id))
            for (const char c : handle) EXPECT_GE(static_cast<unsigned char>(c), 0x20) << id;
}

TEST_F(HidetermTest, AHugeMappingIsReadUpToTheBoundAndNoFurther) {
    // 256 MB, of which only the text takes memory; the rest is a hole that any byte read from
    // it would fill with a page, which the memfd's block count shows.
    Attach();
    const std::size_t bound = HIDETERM_MAX_TEXT;
    std::string text = "ABC12345 first\r\n";
    while (text.size() < bound - 100) text += "text of a line, long enough to fill the bound\r\n";
    text.resize(bound - 1, 'x');
    text += Sjis("青").Str();  // cut by the bound
    text += " XYZ99999 late\r\n" + std::string(64 * 1024, 'y');
    text.resize((text.size() + 4095) / 4096 * 4096, 'y');  // its zero byte lies in the hole
    const int fd = ::memfd_create("huge", MFD_ALLOW_SEALING | MFD_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 256 << 20), 0);
    ASSERT_EQ(::pwrite(fd, text.data(), text.size(), 0), static_cast<ssize_t>(text.size()));
    ASSERT_EQ(::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW), 0);
    struct stat before {};
    ASSERT_EQ(::fstat(fd, &before), 0);
    const std::size_t objects = afx_kernel::OpenObjectCount();
    // As a peer passes it: the mapping is that connection's, named while its request runs.
    const winlink::ConnectionId peer = winlink::NewConnectionId();
    const std::uintptr_t h = afx_kernel::AdoptReceivedFd(::dup(fd), peer);
    ASSERT_NE(h, 0u);
    {
        const winlink::ServingConnection serving(peer);
        frame->SendMessage(WM_HT_TEXT, h);
    }
    struct stat after {};
    ASSERT_EQ(::fstat(fd, &after), 0);
    ::close(fd);
    EXPECT_EQ(after.st_blocks, before.st_blocks);
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects);
    EXPECT_EQ(Utf8(frame->GetMessageText()), Status(IDS_HIDETERM_TEXT_CUT));
    EXPECT_EQ(Handles("ABC12345"), std::vector<std::string>{"first"});
    EXPECT_EQ(doc->FindPickup("XYZ99999"), -1);
    // Cut before the double-byte character, and the buffer gives its memory back.
    const std::size_t waiting = bound - 1 - text.rfind("\r\n", bound - 1) - 2;
    EXPECT_TRUE(Buffer() == std::string(waiting, 'x')) << Buffer().size() << " bytes wait";
    EXPECT_LE(frame->m_strHidetermText.Str().capacity(), 256u * 1024);

    // The link goes on; a text of the bound exactly is not cut.
    frame->SetMessageText("other");
    TerminalSends("\r\nDEF67890 next\r\n");
    EXPECT_EQ(Handles("DEF67890"), std::vector<std::string>{"next"});
    TerminalSends(std::string(bound - 9, 'z') + "\r\nGHI1111", static_cast<int>(bound));
    EXPECT_EQ(Buffer(), "GHI1111");
    TerminalSends(std::string(bound - 9, 'z') + "\r\nJKL1111");  // its zero byte past the bound
    EXPECT_EQ(Buffer(), "JKL1111");
    EXPECT_EQ(Utf8(frame->GetMessageText()), "other");
}

TEST_F(HidetermTest, ASessionWithoutLineEndsKeepsLittleWaitingAndLosesNoId) {
    // A full-screen program: 200 KB in 4 KB reads, never a line end.
    Attach();
    std::string session;
    int ids = 0;
    while (session.size() < 200 * 1024) {
        char id[16];
        std::snprintf(id, sizeof id, "%c%cT%05d", 'A' + ids % 26, 'A' + ids / 26 % 26, ids);
        session += "\x1B[2;1H screen text " + std::string(id) + " Blue, \x1B[K and more ";
        ++ids;
    }
    std::size_t longest = 0;
    for (std::size_t pos = 0; pos < session.size(); pos += 4096) {
        TerminalSends(session.substr(pos, 4096));
        longest = std::max(longest, static_cast<std::size_t>(frame->m_strHidetermText.GetLength()));
    }
    EXPECT_LE(longest, CVelkonDoc::kMaxWaitingText + 4096);
    EXPECT_GT(doc->m_astrPickupID.GetSize(), ids * 3 / 4);
    // The last of it waits for a line end as any text does.
    TerminalSends("\r\n");
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), ids);
    EXPECT_EQ(Handles("BAT00001"), std::vector<std::string>{"Blue"});
}

TEST_F(HidetermTest, WithPickupOffTheLinkIsStillMadeAndTheTextDroppedWithItsHandleClosed) {
    frame->m_bHidetermPickup = FALSE;
    Attach();
    EXPECT_EQ(Utf8(frame->GetMessageText()), Status(IDS_HIDETERM_ATTACHED));
    TerminalSends("\r\n");  // the terminal's connection to this window is made
    const std::size_t objects = afx_kernel::OpenObjectCount();
    const int fds = OpenFdCount();
    TerminalSends("ABC12345 Blue\r\n");
    EXPECT_EQ(doc->FindPickup("ABC12345"), -1);
    EXPECT_EQ(Buffer(), "");
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects);
    EXPECT_EQ(OpenFdCount(), fds);

    // The switch is a setting of its own, kept at the end of the run.
    StopApp();
    StartApp();
    EXPECT_FALSE(frame->m_bHidetermPickup);
    frame->m_bHidetermPickup = TRUE;
    StopApp();
    StartApp();
    EXPECT_TRUE(frame->m_bHidetermPickup);
}

TEST_F(HidetermTest, TextIsHandledTheSameWhetherOrNotLinked) {
    ASSERT_FALSE(frame->m_bHidetermLinked);
    const std::size_t objects = afx_kernel::OpenObjectCount();
    HANDLE h = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64, nullptr);
    ASSERT_NE(h, nullptr);
    LPVOID view = MapViewOfFile(h, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    std::strcpy(static_cast<char*>(view), "ABC12345 Blue\r\n");
    UnmapViewOfFile(view);
    EXPECT_EQ(frame->SendMessage(WM_HT_TEXT, reinterpret_cast<WPARAM>(h)), 0);
    EXPECT_GE(doc->FindPickup("ABC12345"), 0);
    EXPECT_FALSE(CloseHandle(h));  // the layer closed it
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects);
    // A handle that names nothing brings nothing, and nothing breaks.
    EXPECT_EQ(frame->SendMessage(WM_HT_TEXT, 0x7777), 0);
    EXPECT_EQ(Buffer(), "");
}

TEST_F(HidetermTest, SendingAnEmptyTextDoesNotLookForTheTerminal) {
    frame->SendToHideterm("");
    peer->Command("conns");
    EXPECT_EQ(peer->WaitFor("CONNS"), "CONNS 0");
    EXPECT_TRUE(peer->Collect("CANSEND").empty());

    frame->SendToHideterm("x");
    EXPECT_EQ(peer->WaitFor("CANSEND"), "CANSEND");
    EXPECT_EQ(peer->WaitFor("SENDTEXT"), "SENDTEXT 1 2 1 78");
}

TEST_F(HidetermTest, SentTextReachesTheTerminalInAMappingOfLengthPlusOne) {
    Attach();
    const CString text = Sjis("TO:ABC12345 こんにちは");
    const std::size_t objects = afx_kernel::OpenObjectCount();
    const int fds = OpenFdCount();
    frame->SendToHideterm(text);
    EXPECT_EQ(peer->WaitFor("CANSEND"), "CANSEND");
    EXPECT_EQ(peer->WaitFor("SENDTEXT"), "SENDTEXT " + std::to_string(text.GetLength()) + " " +
                                             std::to_string(text.GetLength() + 1) + " 1 " +
                                             Hex(text.Str()));
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects);
    EXPECT_EQ(afx_kernel::MappedViewCount(), 0u);
    EXPECT_EQ(OpenFdCount(), fds);
    peer->Command("objects");
    EXPECT_EQ(peer->WaitFor("OBJECTS"), "OBJECTS 0 0");
}

TEST_F(HidetermTest, ARefusedCanSendSendsNothing) {
    Attach();
    peer->Command("cansend 0");
    ASSERT_EQ(peer->WaitFor("OK"), "OK");
    const std::size_t objects = afx_kernel::OpenObjectCount();
    frame->SendToHideterm("TO:ABC12345");
    EXPECT_EQ(peer->WaitFor("CANSEND"), "CANSEND");
    EXPECT_TRUE(peer->Collect("SENDTEXT", 200).empty());
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects);
    const std::string status = Utf8(frame->GetMessageText());
    EXPECT_EQ(status, Status(IDS_HIDETERM_ATTACHED));  // no message either
}

TEST_F(HidetermTest, NoTerminalOrAHungOneDoesNotHoldTheWindow) {
    afx_handles::SetRemoteTimeout(300);
    Attach();
    peer->Command("hang 2000");
    ASSERT_EQ(peer->WaitFor("HANGING"), "HANGING");
    auto start = std::chrono::steady_clock::now();
    frame->SendToHideterm("TO:ABC12345");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
    peer->Kill();
    start = std::chrono::steady_clock::now();
    frame->SendToHideterm("TO:ABC12345");
    Tick();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_FALSE(frame->m_bHidetermLinked);
}

TEST_F(HidetermTest, DestructionDetachesFromTheLinkedTerminalOnly) {
    StopApp();  // never linked: nothing is sent
    EXPECT_TRUE(peer->Collect("DETACH", 100).empty());
    StartApp();
    Attach();
    const std::string hwnd = HandleText(frame->GetSafeHwnd());
    StopApp();
    EXPECT_EQ(peer->WaitFor("DETACH"), "DETACH " + hwnd);
}
