// Clients over the window's socket that misbehave or never stop: broken frames, blocks that are
// not what they claim, peers that leave in the middle of a request or belong to another user,
// and a long run of requests after which the program holds no more than before.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <utility>

#include "platform/base/AfxRes.h"
#include "platform/ipc/Kernel.h"
#include "platform/ipc/SocketPaths.h"
#include "platform/ipc/WindowClient.h"
#include "platform/ipc/WindowServer.h"
#include "platform/ipc/WindowWire.h"
#include "platform/ipc/Wow32.h"
#include "tests/frame/ApiFixture.h"
#include "tests/support/FakePeer.h"

using testing_support::OpenFdCount;

namespace {

const CTime kJan5(1997, 1, 5, 12, 0, 0);

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

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
    // A connection of our own that writes whatever bytes it is given.
    int RawConnect() {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const std::string path = winlink::WindowSocketPath(hWnd);
        std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
        return fd;
    }
    // Turns the event loop until the program hangs up on fd.
    bool WaitDropped(int fd) {
        for (int i = 0; i < 500; ++i) {
            afx_ui::ProcessEvents();
            char byte;
            const ssize_t n = ::recv(fd, &byte, 1, MSG_DONTWAIT);
            if (n == 0) return true;
            if (n > 0) return false;
            ::usleep(10000);
        }
        return false;
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

TEST_F(ApiLoadTest, BlocksThatAreNotWhatTheyClaimAreNotRead) {
    const int good = SealedBlock("ABC12345", 9);
    EXPECT_EQ(Exists16OverSocket(good), 1);
    // Not sealed: the client could shrink it under the program's view.
    const int unsealed = SealedBlock("ABC12345", 9, false);
    EXPECT_EQ(Exists16OverSocket(unsealed), 0);
    // Read-only: the program could not write an answer into it.
    const int readOnly = ::open(("/proc/self/fd/" + std::to_string(good)).c_str(), O_RDONLY);
    EXPECT_EQ(Exists16OverSocket(readOnly), 0);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    EXPECT_EQ(Exists16OverSocket(pipeFds[0]), 0);
    // A block passed, but not the one wParam names.
    winlink::Request r{WM_IDAPI_EXISTS, 0x0106, 0, {}};
    r.blocks[1] = {0x0206, good};
    LRESULT result = -5;
    ASSERT_TRUE(peer->SendBlocks(r, result));
    EXPECT_EQ(result, 0);
    for (int fd : {good, unsealed, readOnly, pipeFds[0], pipeFds[1]}) ::close(fd);
    ExpectRecordsAsBefore();
}

TEST_F(ApiLoadTest, BrokenFramesAndPeersThatLeaveMidRequest) {
    LRESULT result = 0;
    ASSERT_TRUE(peer->Send({WM_IDAPI_PRESENT, 0, 0, {}}, result));  // the program takes peer
    const int fds = OpenFdCount();
    unsigned char frame[winlink::wire::kMaxRequestFrame];
    const std::size_t length =
        winlink::wire::EncodeRequest({WM_IDAPI32, IDAPI_RESTORE, 0, {}}, frame);
    // Half a frame, then gone.
    int fd = RawConnect();
    ASSERT_EQ(::write(fd, frame, 10), 10);
    ::close(fd);
    // A whole request, gone before the answer.
    doc->DeleteID(0);
    doc->SetModifiedFlag(FALSE);
    fd = RawConnect();
    ASSERT_EQ(::write(fd, frame, length), static_cast<ssize_t>(length));
    ::close(fd);
    // A length no frame has, and a length that would make the program wait for 4 GB.
    for (std::uint32_t bad : {0u, 7u, 25u, 0xFFFFFFFFu}) {
        fd = RawConnect();
        unsigned char header[4];
        std::memcpy(header, &bad, 4);
        ASSERT_EQ(::write(fd, header, 4), 4);
        EXPECT_TRUE(WaitDropped(fd));  // not waited on
        ::close(fd);
    }
    // The program still answers, and the request whose client left was done.
    ASSERT_TRUE(peer->Send({WM_IDAPI_PRESENT, 0, 0, {}}, result));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(doc->FindID("ABC12345"), 0);
    // The connections of the peers that left go at the next turn of the loop.
    for (int i = 0; i < 100 && OpenFdCount() != fds; ++i) {
        afx_ui::ProcessEvents();
        ::usleep(10000);
    }
    EXPECT_EQ(OpenFdCount(), fds);
}

TEST_F(ApiLoadTest, AnotherUsersClientIsRefused) {
    winlink::SetAcceptedUidForTesting(static_cast<long>(::geteuid()) + 1);
    auto stranger = winlink::Client::ConnectWindow(hWnd);
    ASSERT_TRUE(stranger);  // the kernel takes the connection; the program does not serve it
    std::vector<char> block(idapi_block::kSize, '\0');
    std::memcpy(block.data(), "ABC12345", 8);
    LRESULT result = 0;
    EXPECT_FALSE(stranger->Send({WM_IDAPI32, IDAPI_DELETE, 0, {}}, result, 1000));
    EXPECT_FALSE(stranger->Send({WM_IDAPI32, IDAPI_RESTORE, 0, {}}, result, 1000));
    ExpectRecordsAsBefore();
}

TEST_F(ApiLoadTest, AHundredThousandRequestsLeaveNothingBehind) {
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
    run(10000);
    const int fds = OpenFdCount();
    const std::size_t objects = afx_kernel::OpenObjectCount();
    const long rss = ResidentKb();
    run(90000);
    // Fewer is fine: a descriptor the loop had not yet let go of at the first count.
    EXPECT_LE(OpenFdCount(), fds);
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects);
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(ResidentKb() - rss, 4096);
#else
    (void)rss;  // the sanitizer holds freed memory back on purpose
#endif
    ::close(block);
    ::UnmapViewOfFile(pView);
    ::CloseHandle(hMapping);
    ExpectRecordsAsBefore();
}

TEST_F(ApiLoadTest, OnlyTheMessagesPeersMaySendCrossFromAnotherProcess) {
    // Each number of the system's, the program's and the applications' ranges, raw: WM_CREATE
    // with a pointer that is none, WM_DESTROY, WM_CLOSE and the exit command among them.
    const HWND hFrame = frame->GetSafeHwnd();
    for (const auto& [wParam, lParam] : {std::pair<WPARAM, LPARAM>{1, 1}, {ID_APP_EXIT, 0}}) {
        for (UINT msg = 0; msg < 0xC000; ++msg) {
            LRESULT result = -5;
            ASSERT_TRUE(peer->Send({msg, wParam, lParam, {}}, result)) << msg;
            ASSERT_EQ(CWnd::FromHandle(hFrame), frame) << msg;
            if (msg == WM_IDAPI_PRESENT) {
                EXPECT_EQ(result, 1);
            } else if (!frame->IsPeerMessage(msg)) {
                ASSERT_EQ(result, 0) << msg;
            }
        }
    }
    // Only the API's own messages, the terminal's text and the hand-over of a second start.
    for (UINT msg : {UINT{WM_IDAPI_PRESENT}, UINT{WM_IDAPI_SETRECORD}, UINT{WM_IDAPI32},
                     UINT{WM_HT_TEXT}, UINT{WM_AFX_ACTIVATE_LAST_POPUP}})
        EXPECT_TRUE(frame->IsPeerMessage(msg)) << msg;
    for (UINT msg : {UINT{WM_CREATE}, UINT{WM_DESTROY}, UINT{WM_CLOSE}, UINT{WM_COMMAND},
                     UINT{WM_TIMER}, UINT{WM_HOTKEY}, UINT{WM_USER + 100}, UINT{WM_USER + 110}})
        EXPECT_FALSE(frame->IsPeerMessage(msg)) << msg;
    ExpectRecordsAsBefore();
    EXPECT_EQ(CWnd::FromHandle(hFrame), frame);
}

TEST_F(ApiLoadTest, PassedDescriptorsBelongToTheConnectionThatPassedThem) {
    const int block = SealedBlock("ABC12345", idapi_block::kSize);
    LRESULT result = 0;
    ASSERT_TRUE(peer->Send({WM_IDAPI_PRESENT, 0, 0, {}}, result));
    const int fds = OpenFdCount();
    const std::size_t objects = afx_kernel::OpenObjectCount();
    // Passed and never used: the process keeps no more than a few of them.
    for (int i = 0; i < 10000; ++i) {
        ASSERT_TRUE(peer->SendFd(block, result)) << i;
        ASSERT_NE(result, 0) << i;
    }
    EXPECT_LE(OpenFdCount(), fds + 16);
    // The latest is still there for the request that names it, and goes with that request.
    const LRESULT latest = result;
    ASSERT_TRUE(peer->Send({WM_IDAPI32, IDAPI_EXISTS, latest, {}}, result));
    EXPECT_EQ(result, 1);
    ASSERT_TRUE(peer->SendFd(block, result));
    ASSERT_TRUE(peer->Send({WM_IDAPI_PRESENT, static_cast<WPARAM>(result), 0, {}}, result));
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects + 15);
    // The rest go with the connection.
    peer.reset();
    for (int i = 0; i < 500 && afx_kernel::OpenObjectCount() != objects; ++i) {
        afx_ui::ProcessEvents();
        ::usleep(10000);
    }
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects);
    EXPECT_LE(OpenFdCount(), fds);

    // And after a while unused on a connection that stays.
    winlink::ServerLimits quick;
    quick.passedMs = 100;
    winlink::SetServerLimitsForTesting(quick);
    peer = winlink::Client::ConnectWindow(hWnd);
    ASSERT_TRUE(peer);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(peer->SendFd(block, result));
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects + 3);
    for (int i = 0; i < 500 && afx_kernel::OpenObjectCount() != objects; ++i) {
        afx_ui::ProcessEvents();
        ::usleep(10000);
    }
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects);
    ::close(block);
}

TEST_F(ApiLoadTest, HalfSentFramesAndQuietConnectionsAreClosed) {
    winlink::ServerLimits quick;
    quick.frameMs = 100;
    quick.idleMs = 300;
    winlink::SetServerLimitsForTesting(quick);
    const int halfSent = RawConnect();
    ASSERT_EQ(::write(halfSent, "\x14\0", 2), 2);
    EXPECT_TRUE(WaitDropped(halfSent));
    const int quiet = RawConnect();
    EXPECT_TRUE(WaitDropped(quiet));
    ::close(halfSent);
    ::close(quiet);
}
