// A window's socket, served by the event loop, under clients that misbehave or never stop:
// broken frames, blocks and descriptors that are not what they claim, peers that leave in the
// middle of a request, go quiet or belong to another user, messages no peer may send, and a long
// run of requests after which the process holds no more than before. The window is a frame of
// the test's own that peers may send three messages.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui/frame/CFrameWnd.h"
#include "platform/gui/window/UiHooks.h"
#include "platform/ipc/Kernel.h"
#include "platform/ipc/SocketPaths.h"
#include "platform/ipc/WindowClient.h"
#include "platform/ipc/WindowServer.h"
#include "platform/ipc/WindowWire.h"
#include "platform/ipc/Wow32.h"
#include "tests/support/FakePeer.h"
#include "tests/support/TestSupport.h"

using testing_support::OpenFdCount;

namespace {

constexpr char kText[] = "ABC12345";
constexpr UINT kReadMapping = WM_USER + 201;  // lParam: a mapping that should begin with kText
constexpr UINT kReadBlock = WM_USER + 202;    // wParam: a 16-bit block that should hold kText
constexpr UINT kTouch = WM_USER + 203;        // counted, and answered 1

// What peers may send it: reads what it is handed, as a window that serves clients does, and
// answers 1 when it found kText there. Every message that reaches it is written down while
// `recording` is set.
class ServedFrame : public CFrameWnd {
public:
    BOOL IsPeerMessage(UINT message) const override {
        return message == kReadMapping || message == kReadBlock || message == kTouch ||
               CFrameWnd::IsPeerMessage(message);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (recording) delivered.push_back(message);
        switch (message) {
            case kReadMapping:
                return ReadMapping(reinterpret_cast<HANDLE>(lParam));
            case kReadBlock:
                return ReadBlock(wParam);
            case kTouch:
                ++touched;
                return 1;
            default:
                return CFrameWnd::WindowProc(message, wParam, lParam);
        }
    }
    bool recording = false;
    std::vector<UINT> delivered;
    int touched = 0;

private:
    static LRESULT ReadMapping(HANDLE hMapping) {
        LRESULT found = 0;
        if (LPVOID view = ::MapViewOfFile(hMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
            found = std::memcmp(view, kText, sizeof kText) == 0;
            ::UnmapViewOfFile(view);
        }
        ::CloseHandle(hMapping);  // the window is done with it
        return found;
    }
    static LRESULT ReadBlock(WPARAM wParam) {
        if (wParam == 0 || wParam > 0xFFFF) return 0;
        const auto h = static_cast<WORD>(wParam);
        const VPVOID vp = ::WOWGlobalLock16(h);
        if (!vp) return 0;
        const auto* p = static_cast<const char*>(::WOWGetVDMPointer(vp, sizeof kText, TRUE));
        const LRESULT found = p && std::memcmp(p, kText, sizeof kText) == 0;
        ::WOWGlobalUnlock16(h);
        return found;
    }
};

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

class WindowServerLoad : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        afx_ui::EnsureApplication();
        window = new ServedFrame;             // deletes itself when destroyed
        ASSERT_TRUE(window->LoadFrame(900));  // no resources: a bare frame
        hWnd = reinterpret_cast<std::uintptr_t>(window->GetSafeHwnd());
        peer = winlink::Client::ConnectWindow(hWnd);
        ASSERT_TRUE(peer);
    }
    void TearDown() override {
        winlink::SetAcceptedUidForTesting(-1);
        winlink::SetServerLimitsForTesting({});
        peer.reset();
        if (window) window->DestroyWindow();
        afx_ui::ProcessEvents();
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
    // Turns the event loop until the window's server hangs up on fd.
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
    // Hands the window a mapping of this process by a handle of its own, as a client in the
    // same process would.
    LRESULT ReadMappingOverSocket(HANDLE hMapping) {
        HANDLE hDup = nullptr;
        EXPECT_TRUE(::DuplicateHandle(::GetCurrentProcess(), hMapping, ::GetCurrentProcess(), &hDup,
                                      0, FALSE, DUPLICATE_SAME_ACCESS));
        LRESULT result = -5;
        EXPECT_TRUE(peer->Send({kReadMapping, 0, reinterpret_cast<LPARAM>(hDup), {}}, result));
        return result;
    }
    LRESULT ReadBlockOverSocket(int fd, WORD handle = 0x0106) {
        winlink::Request r{kReadBlock, handle, 0, {}};
        r.blocks[0] = {handle, fd};
        LRESULT result = -5;
        EXPECT_TRUE(peer->SendBlocks(r, result));
        return result;
    }

    testing_support::TempDir runtime;
    ServedFrame* window = nullptr;
    std::uintptr_t hWnd = 0;
    std::unique_ptr<winlink::Client> peer;
};

}  // namespace

TEST_F(WindowServerLoad, BlocksThatAreNotWhatTheyClaimAreNotRead) {
    const int good = SealedBlock(kText, sizeof kText);
    EXPECT_EQ(ReadBlockOverSocket(good), 1);
    // Not sealed: the client could shrink it under the window's view.
    const int unsealed = SealedBlock(kText, sizeof kText, false);
    EXPECT_EQ(ReadBlockOverSocket(unsealed), 0);
    // Read-only: the window could not write an answer into it.
    const int readOnly = ::open(("/proc/self/fd/" + std::to_string(good)).c_str(), O_RDONLY);
    EXPECT_EQ(ReadBlockOverSocket(readOnly), 0);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    EXPECT_EQ(ReadBlockOverSocket(pipeFds[0]), 0);
    // A block passed, but not the one wParam names.
    winlink::Request r{kReadBlock, 0x0106, 0, {}};
    r.blocks[1] = {0x0206, good};
    LRESULT result = -5;
    ASSERT_TRUE(peer->SendBlocks(r, result));
    EXPECT_EQ(result, 0);
    for (int fd : {good, unsealed, readOnly, pipeFds[0], pipeFds[1]}) ::close(fd);
}

TEST_F(WindowServerLoad, BrokenFramesAndPeersThatLeaveMidRequest) {
    LRESULT result = 0;
    ASSERT_TRUE(peer->Send({kTouch, 0, 0, {}}, result));  // the server takes peer
    ASSERT_EQ(window->touched, 1);
    const int fds = OpenFdCount();
    unsigned char frame[winlink::wire::kMaxRequestFrame];
    const std::size_t length = winlink::wire::EncodeRequest({kTouch, 0, 0, {}}, frame);
    // Half a frame, then gone.
    int fd = RawConnect();
    ASSERT_EQ(::write(fd, frame, 10), 10);
    ::close(fd);
    // A whole request, gone before the answer.
    fd = RawConnect();
    ASSERT_EQ(::write(fd, frame, length), static_cast<ssize_t>(length));
    ::close(fd);
    // A length no frame has, and a length that would make the server wait for 4 GB.
    for (std::uint32_t bad : {0u, 7u, 25u, 0xFFFFFFFFu}) {
        fd = RawConnect();
        unsigned char header[4];
        std::memcpy(header, &bad, 4);
        ASSERT_EQ(::write(fd, header, 4), 4);
        EXPECT_TRUE(WaitDropped(fd));  // not waited on
        ::close(fd);
    }
    // The window still answers, and the request whose client left was served; the half one not.
    ASSERT_TRUE(peer->Send({kTouch, 0, 0, {}}, result));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(window->touched, 3);
    // The connections of the peers that left go at the next turn of the loop.
    for (int i = 0; i < 100 && OpenFdCount() != fds; ++i) {
        afx_ui::ProcessEvents();
        ::usleep(10000);
    }
    EXPECT_EQ(OpenFdCount(), fds);
}

TEST_F(WindowServerLoad, AnotherUsersClientIsRefused) {
    winlink::SetAcceptedUidForTesting(static_cast<long>(::geteuid()) + 1);
    auto stranger = winlink::Client::ConnectWindow(hWnd);
    ASSERT_TRUE(stranger);  // the kernel takes the connection; the server does not serve it
    LRESULT result = 0;
    EXPECT_FALSE(stranger->Send({kTouch, 0, 0, {}}, result, 1000));
    EXPECT_FALSE(stranger->Send({kTouch, 0, 0, {}}, result, 1000));
    EXPECT_EQ(window->touched, 0);
}

TEST_F(WindowServerLoad, AHundredThousandRequestsLeaveNothingBehind) {
    const HANDLE hMapping =
        ::CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 256, nullptr);
    LPVOID pView = ::MapViewOfFile(hMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    std::memcpy(pView, kText, sizeof kText);
    const int block = SealedBlock(kText, sizeof kText);
    const auto run = [&](int count) {
        for (int i = 0; i < count; i += 2) {
            ASSERT_EQ(ReadMappingOverSocket(hMapping), 1);
            ASSERT_EQ(ReadBlockOverSocket(block), 1);
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
}

TEST_F(WindowServerLoad, OnlyTheMessagesPeersMaySendReachTheWindow) {
    // Each number of the system's, the framework's and the applications' ranges, raw: WM_CREATE
    // with a pointer that is none, WM_DESTROY, WM_CLOSE and the exit command among them.
    const HWND hFrame = window->GetSafeHwnd();
    int reached = 0;
    for (const auto& [wParam, lParam] : {std::pair<WPARAM, LPARAM>{1, 1}, {ID_APP_EXIT, 0}}) {
        for (UINT msg = 0; msg < 0xC000; ++msg) {
            LRESULT result = -5;
            window->delivered.clear();
            window->recording = true;
            ASSERT_TRUE(peer->Send({msg, wParam, lParam, {}}, result)) << msg;
            window->recording = false;
            ASSERT_EQ(CWnd::FromHandle(hFrame), window) << msg;
            if (window->IsPeerMessage(msg)) {
                // What the window does with it may send it more; the peer's comes first.
                ASSERT_FALSE(window->delivered.empty()) << msg;
                EXPECT_EQ(window->delivered.front(), msg);
                ++reached;
            } else {
                ASSERT_TRUE(window->delivered.empty()) << msg;
                ASSERT_EQ(result, 0) << msg;
            }
        }
    }
    // The window's own three and the frame's hand-over of a second start, each time.
    EXPECT_EQ(reached, 2 * 4);
    EXPECT_EQ(window->touched, 2);
}

TEST_F(WindowServerLoad, PassedDescriptorsBelongToTheConnectionThatPassedThem) {
    const int block = SealedBlock(kText, 256);
    LRESULT result = 0;
    ASSERT_TRUE(peer->Send({kTouch, 0, 0, {}}, result));
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
    ASSERT_TRUE(peer->Send({kReadMapping, 0, latest, {}}, result));
    EXPECT_EQ(result, 1);
    ASSERT_TRUE(peer->SendFd(block, result));
    ASSERT_TRUE(peer->Send({kTouch, static_cast<WPARAM>(result), 0, {}}, result));
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

// A client that names a handle another client passed gets what a handle that does not exist
// gets: the window reads nothing, and its close does not take the object from its owner.
TEST_F(WindowServerLoad, AHandleIsUsableOnlyOverTheConnectionThatPassedIt) {
    auto other = winlink::Client::ConnectWindow(hWnd);
    ASSERT_TRUE(other);
    const int block = SealedBlock(kText, 256);
    LRESULT passed = 0;
    ASSERT_TRUE(other->SendFd(block, passed));
    ASSERT_NE(passed, 0);
    const std::size_t objects = afx_kernel::OpenObjectCount();
    LRESULT result = -5;
    ASSERT_TRUE(peer->Send({kReadMapping, 0, passed, {}}, result));
    EXPECT_EQ(result, 0);
    // Nor does the process reach it outside that connection's requests.
    const auto handle = reinterpret_cast<HANDLE>(passed);
    EXPECT_EQ(::MapViewOfFile(handle, FILE_MAP_READ, 0, 0, 0), nullptr);
    EXPECT_FALSE(::CloseHandle(handle));
    HANDLE copy = nullptr;
    EXPECT_FALSE(::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, 0,
                                   FALSE, DUPLICATE_SAME_ACCESS));
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects);
    // Its owner's request still finds it whole, and the window closes it then.
    ASSERT_TRUE(other->Send({kReadMapping, 0, passed, {}}, result));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects - 1);

    // The process's own objects stay its own, whichever connection's request it serves.
    const HANDLE own =
        ::CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 256, nullptr);
    LPVOID view = ::MapViewOfFile(own, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    std::memcpy(view, kText, sizeof kText);
    ::UnmapViewOfFile(view);
    EXPECT_EQ(ReadMappingOverSocket(own), 1);
    EXPECT_TRUE(::CloseHandle(own));

    // Passed and never named: gone with the connection, whichever closes first.
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(other->SendFd(block, result));
    ASSERT_TRUE(peer->SendFd(block, result));
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects + 3);
    other.reset();
    EXPECT_TRUE(
        testing_support::RunEventsUntil([&] { return afx_kernel::OpenObjectCount() == objects; }));
    peer.reset();
    EXPECT_TRUE(testing_support::RunEventsUntil(
        [&] { return afx_kernel::OpenObjectCount() == objects - 1; }));
    ::close(block);
}

TEST_F(WindowServerLoad, HalfSentFramesAndQuietConnectionsAreClosed) {
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
