// The program's API over its window's socket with requests it cannot use: blocks that are not
// what they claim and a client of another user change no record, nor does junk in any message
// the program takes from peers, and the API's handlers keep nothing of what they are handed.
// How the window's server itself stands up to clients that misbehave or never stop is tested
// with a window of the test's own in tests/platform/ipc/WindowServerLoadTest.cpp.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <utility>

#include "platform/base/AfxRes.h"
#include "platform/ipc/Kernel.h"
#include "platform/ipc/WindowClient.h"
#include "platform/ipc/WindowServer.h"
#include "platform/ipc/Wow32.h"
#include "tests/frame/ApiFixture.h"
#include "tests/support/FakePeer.h"

using testing_support::OpenFdCount;

namespace {

const CTime kJan5(1997, 1, 5, 12, 0, 0);

// A sealed memfd of `size` bytes holding `text`.
int SealedBlock(const std::string& text, std::size_t size, bool seal = true) {
    const int fd = ::memfd_create("test-block", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    EXPECT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
    EXPECT_EQ(::pwrite(fd, text.data(), std::min(size, text.size()), 0),
              static_cast<ssize_t>(std::min(size, text.size())));
    if (seal) ::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW);
    return fd;
}

}  // namespace

class ApiLoadTest : public ApiTest {
protected:
    void SetUp() override {
        ApiTest::SetUp();
        AddRecord("ABC12345", "Blue", 3, kJan5, kJan5);
        doc->SetModifiedFlag(FALSE);
        hWnd = reinterpret_cast<std::uintptr_t>(frame->GetSafeHwnd());
        peer = winlink::Client::ConnectWindow(hWnd);
        ASSERT_TRUE(peer);
    }
    void TearDown() override {
        winlink::SetAcceptedUidForTesting(-1);
        winlink::SetServerLimitsForTesting({});
        peer.reset();
        ApiTest::TearDown();
    }
    LRESULT Exists32OverSocket(HANDLE hMapping) {
        HANDLE hDup = nullptr;
        EXPECT_TRUE(::DuplicateHandle(::GetCurrentProcess(), hMapping, ::GetCurrentProcess(), &hDup,
                                      0, FALSE, DUPLICATE_SAME_ACCESS));
        LRESULT result = -5;
        EXPECT_TRUE(
            peer->Send({WM_IDAPI32, IDAPI_EXISTS, reinterpret_cast<LPARAM>(hDup), {}}, result));
        return result;
    }
    LRESULT Exists16OverSocket(int fd, WORD handle = 0x0106) {
        winlink::Request r{WM_IDAPI_EXISTS, handle, 0, {}};
        r.blocks[0] = {handle, fd};
        LRESULT result = -5;
        EXPECT_TRUE(peer->SendBlocks(r, result));
        return result;
    }
    void ExpectRecordsAsBefore() {
        EXPECT_EQ(doc->GetRecordCount(), 1);
        EXPECT_EQ(testing_support::Utf8(doc->m_astrHandle[0]), "Blue");
        EXPECT_FALSE(doc->IsModified());
    }

    std::uintptr_t hWnd = 0;
    std::unique_ptr<winlink::Client> peer;
};

TEST_F(ApiLoadTest, RefusedBlocksAndAnotherUsersClientChangeNoRecord) {
    // The API reads a block passed over the socket; one the window's server refuses it cannot.
    const int good = SealedBlock("ABC12345", 9);
    EXPECT_EQ(Exists16OverSocket(good), 1);
    const int unsealed = SealedBlock("ABC12345", 9, false);
    EXPECT_EQ(Exists16OverSocket(unsealed), 0);
    ::close(good);
    ::close(unsealed);

    winlink::SetAcceptedUidForTesting(static_cast<long>(::geteuid()) + 1);
    auto stranger = winlink::Client::ConnectWindow(hWnd);
    ASSERT_TRUE(stranger);
    LRESULT result = 0;
    EXPECT_FALSE(stranger->Send({WM_IDAPI32, IDAPI_DELETE, 0, {}}, result, 1000));
    EXPECT_FALSE(stranger->Send({WM_IDAPI32, IDAPI_RESTORE, 0, {}}, result, 1000));
    ExpectRecordsAsBefore();
}

TEST_F(ApiLoadTest, TheApisHandlersKeepNothingOfWhatTheyAreHanded) {
    const HANDLE hMapping =
        ::CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 256, nullptr);
    LPVOID pView = ::MapViewOfFile(hMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    std::memcpy(pView, "ABC12345", 9);
    const int block = SealedBlock("ABC12345", 9);
    const auto run = [&](int count) {
        for (int i = 0; i < count; i += 2) {
            ASSERT_EQ(Exists32OverSocket(hMapping), 1);
            ASSERT_EQ(Exists16OverSocket(block), 1);
        }
    };
    run(1000);
    const int fds = OpenFdCount();
    const std::size_t objects = afx_kernel::OpenObjectCount();
    run(9000);
    EXPECT_LE(OpenFdCount(), fds);
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects);
    ::close(block);
    ::UnmapViewOfFile(pView);
    ::CloseHandle(hMapping);
    ExpectRecordsAsBefore();
}

// Two clients: one names in its request the mapping the other has just passed. The program
// reads nothing of it and leaves it whole, and the client that passed it is then served.
TEST_F(ApiLoadTest, AClientCannotUseTheMappingAnotherClientPassed) {
    auto owner = winlink::Client::ConnectWindow(hWnd);
    ASSERT_TRUE(owner);
    const auto pass = [&](const std::string& bytes) {
        const int fd = SealedBlock(bytes, 256);
        LRESULT handle = 0;
        EXPECT_TRUE(owner->SendFd(fd, handle));
        EXPECT_NE(handle, 0);
        ::close(fd);
        return handle;
    };
    const std::size_t objects = afx_kernel::OpenObjectCount();
    LRESULT result = -5;
    const LRESULT id = pass("ABC12345");
    ASSERT_TRUE(peer->Send({WM_IDAPI32, IDAPI_EXISTS, id, {}}, result));
    EXPECT_EQ(result, 0);
    ASSERT_TRUE(owner->Send({WM_IDAPI32, IDAPI_EXISTS, id, {}}, result));
    EXPECT_EQ(result, 1);

    // The terminal's text the same way: the other client's message picks nothing up.
    const LRESULT text = pass("ZZZ99999\r\n");
    ASSERT_TRUE(peer->Send({WM_HT_TEXT, static_cast<WPARAM>(text), 0, {}}, result));
    EXPECT_EQ(doc->FindPickup("ZZZ99999"), -1);
    ASSERT_TRUE(owner->Send({WM_HT_TEXT, static_cast<WPARAM>(text), 0, {}}, result));
    EXPECT_NE(doc->FindPickup("ZZZ99999"), -1);
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects);
    ExpectRecordsAsBefore();
}

TEST_F(ApiLoadTest, JunkInEveryMessageThePeersMaySendChangesNoRecord) {
    // Only the API's own messages, the terminal's text and the hand-over of a second start.
    for (UINT msg : {UINT{WM_IDAPI_PRESENT}, UINT{WM_IDAPI_SETRECORD}, UINT{WM_IDAPI32},
                     UINT{WM_HT_TEXT}, UINT{WM_AFX_ACTIVATE_LAST_POPUP}})
        EXPECT_TRUE(frame->IsPeerMessage(msg)) << msg;
    for (UINT msg : {UINT{WM_CREATE}, UINT{WM_DESTROY}, UINT{WM_CLOSE}, UINT{WM_COMMAND},
                     UINT{WM_TIMER}, UINT{WM_HOTKEY}, UINT{WM_USER + 100}, UINT{WM_USER + 110}})
        EXPECT_FALSE(frame->IsPeerMessage(msg)) << msg;
    // Each of them with a pointer that is none, a handle that is none, the exit command.
    const HWND hFrame = frame->GetSafeHwnd();
    for (const auto& [wParam, lParam] : {std::pair<WPARAM, LPARAM>{1, 1}, {ID_APP_EXIT, 0}}) {
        for (UINT msg = 0; msg < 0xC000; ++msg) {
            if (!frame->IsPeerMessage(msg)) continue;
            LRESULT result = -5;
            ASSERT_TRUE(peer->Send({msg, wParam, lParam, {}}, result)) << msg;
            ASSERT_EQ(CWnd::FromHandle(hFrame), frame) << msg;
            if (msg == WM_IDAPI_PRESENT) {
                EXPECT_EQ(result, 1);
            }
        }
    }
    ExpectRecordsAsBefore();
    EXPECT_EQ(CWnd::FromHandle(hFrame), frame);
}
