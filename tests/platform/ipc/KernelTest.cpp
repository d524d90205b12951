// File mappings, process handles and handles duplicated into another process, and messages to
// a window of another process that died or hangs. The other process is FakeHideterm.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/gui/window/CWnd.h"
#include "platform/ipc/Handles.h"
#include "platform/ipc/Kernel.h"
#include "platform/ipc/MappingTransfer.h"
#include "platform/ipc/RemoteWindows.h"
#include "platform/ipc/WinClass.h"
#include "platform/ipc/WindowClient.h"
#include "tests/support/FakePeer.h"
#include "tests/support/TestSupport.h"

using namespace std::chrono_literals;
using testing_support::FakePeer;
using testing_support::OpenFdCount;

namespace {

constexpr UINT kSendText = 0x400 + 51;
constexpr UINT kCanSend = 0x400 + 11;

class Kernel : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_RUNTIME_DIR", m_runtime.Path().c_str(), 1);
        afx_handles::SetRemoteTimeout(5000);
    }
    void TearDown() override { afx_handles::SetRemoteTimeout(5000); }
    testing_support::TempDir m_runtime;
};

// Hands `text` to the window the way the terminal link does; false if any step failed.
bool SendTextTo(HWND hwnd, const std::string& text) {
    const HANDLE duplicated =
        AfxShareMappingWith(hwnd, text.c_str(), text.size() + 1, text.size() + 1);
    if (duplicated) SendMessage(hwnd, kSendText, text.size(), reinterpret_cast<LPARAM>(duplicated));
    return duplicated != nullptr;
}

}  // namespace

TEST_F(Kernel, MappingsAreMemfdObjectsOfFixedSize) {
    const int fdsBefore = OpenFdCount();
    EXPECT_EQ(CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 0, nullptr),
              nullptr);
    EXPECT_EQ(CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8, "Named"),
              nullptr);
    const HANDLE h =
        CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 5000, nullptr);
    ASSERT_NE(h, nullptr);
    char* view = static_cast<char*>(MapViewOfFile(h, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view[4999], 0);  // a new object is zero-filled
    std::strcpy(view, "ABC12345");
    MEMORY_BASIC_INFORMATION info;
    ASSERT_EQ(VirtualQuery(view + 10, &info, sizeof(info)), sizeof(info));
    EXPECT_EQ(info.AllocationBase, view);
    EXPECT_EQ(info.RegionSize, 4990u);
    EXPECT_EQ(VirtualQuery(&info, &info, sizeof(info)), 0u);  // not a view

    // A second view and a duplicate in this process see the same bytes.
    HANDLE copy = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &copy, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    EXPECT_NE(copy, h);
    const char* second = static_cast<const char*>(MapViewOfFile(copy, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second, "ABC12345");
    EXPECT_EQ(MapViewOfFile(copy, FILE_MAP_READ, 0, 1, 0), nullptr);     // not page-aligned
    EXPECT_EQ(MapViewOfFile(copy, FILE_MAP_READ, 0, 0, 5001), nullptr);  // past the end

    EXPECT_TRUE(UnmapViewOfFile(second));
    EXPECT_FALSE(UnmapViewOfFile(second));
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_TRUE(CloseHandle(copy));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(MapViewOfFile(h, FILE_MAP_READ, 0, 0, 0), nullptr);
    EXPECT_EQ(OpenFdCount(), fdsBefore);
    EXPECT_EQ(afx_kernel::MappedViewCount(), 0u);
}

// A peer that learns one handle value cannot work out the next one another peer is given, and
// every value fits the 32-bit lParam of the API's clients.
TEST_F(Kernel, HandleValuesAreNotInSequenceAndFitThirtyTwoBits) {
    std::vector<HANDLE> handles;
    std::set<std::uintptr_t> values;
    std::set<std::intptr_t> steps;
    for (int i = 0; i < 64; ++i) {
        const HANDLE h = i % 2 ? OpenProcess(PROCESS_DUP_HANDLE, FALSE, GetCurrentProcessId())
                               : CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                   16, nullptr);
        ASSERT_NE(h, nullptr);
        const auto value = reinterpret_cast<std::uintptr_t>(h);
        EXPECT_GE(value, 0x10000u);
        EXPECT_LT(value, 0x80000000u);
        EXPECT_EQ(value % 4, 0u);
        if (!handles.empty())
            steps.insert(static_cast<std::intptr_t>(value) -
                         reinterpret_cast<std::intptr_t>(handles.back()));
        values.insert(value);
        handles.push_back(h);
    }
    EXPECT_EQ(values.size(), handles.size());
    EXPECT_GT(steps.size(), 32u);  // no fixed stride, and not all upwards
    EXPECT_TRUE(std::any_of(steps.begin(), steps.end(), [](std::intptr_t d) { return d < 0; }));
    for (HANDLE h : handles) EXPECT_TRUE(CloseHandle(h));
}

TEST_F(Kernel, OpenProcessOnlyForARunningProcess) {
    HANDLE self = OpenProcess(PROCESS_DUP_HANDLE, TRUE, GetCurrentProcessId());
    ASSERT_NE(self, nullptr);
    EXPECT_TRUE(CloseHandle(self));
    EXPECT_EQ(OpenProcess(PROCESS_DUP_HANDLE, TRUE, 0), nullptr);
    EXPECT_EQ(OpenProcess(0, TRUE, GetCurrentProcessId()), nullptr);
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    int status;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(OpenProcess(PROCESS_DUP_HANDLE, TRUE, static_cast<DWORD>(child)), nullptr);
}

TEST_F(Kernel, DuplicateHandleIntoAnotherProcessGivesAHandleValidThere) {
    FakePeer peer(FAKE_HIDETERM);
    ASSERT_TRUE(peer.Ready());
    const HWND hwnd = FindWindow("HideTermFrameClass", nullptr);
    ASSERT_NE(hwnd, nullptr);
    DWORD pid = 0;
    EXPECT_EQ(GetWindowThreadProcessId(hwnd, &pid), static_cast<DWORD>(peer.Pid()));
    EXPECT_EQ(pid, static_cast<DWORD>(peer.Pid()));

    const std::string text = "TO:ABC12345 \x8f\x47";  // CP932 bytes pass unchanged
    ASSERT_TRUE(SendTextTo(hwnd, text));
    EXPECT_EQ(peer.WaitFor("SENDTEXT"), "SENDTEXT " + std::to_string(text.size()) + " " +
                                            std::to_string(text.size() + 1) + " 1 " +
                                            testing_support::Hex(text));
    peer.Command("objects");
    EXPECT_EQ(peer.WaitFor("OBJECTS"), "OBJECTS 0 0");

    // A process this one has no window connection to cannot be reached.
    HANDLE mapping =
        CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16, nullptr);
    HANDLE parent = OpenProcess(PROCESS_DUP_HANDLE, TRUE, static_cast<DWORD>(::getppid()));
    ASSERT_NE(parent, nullptr);
    HANDLE target = reinterpret_cast<HANDLE>(1);
    EXPECT_FALSE(DuplicateHandle(GetCurrentProcess(), mapping, parent, &target, 0, TRUE,
                                 DUPLICATE_SAME_ACCESS | DUPLICATE_CLOSE_SOURCE));
    EXPECT_EQ(target, nullptr);
    EXPECT_FALSE(CloseHandle(mapping));  // closed by DUPLICATE_CLOSE_SOURCE even so
    CloseHandle(parent);
}

// Only sealed memfd objects are taken: anything else (a pipe, a memfd whose size could change
// under a view) is closed again by the receiver, which answers 0.
TEST_F(Kernel, ReceiverRefusesDescriptorsThatAreNotSealedMappings) {
    FakePeer peer(FAKE_HIDETERM);
    ASSERT_TRUE(peer.Ready());
    peer.Command("fds");
    const std::string fdsBefore = peer.WaitFor("FDS");
    auto client = winlink::Client::Connect("HideTermFrameClass");
    ASSERT_TRUE(client);
    LRESULT result = -1;
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    EXPECT_TRUE(client->SendFd(pipeFds[0], result));
    EXPECT_EQ(result, 0);
    const int unsealed = ::memfd_create("unsealed", MFD_CLOEXEC);
    ASSERT_EQ(::ftruncate(unsealed, 4096), 0);
    EXPECT_TRUE(client->SendFd(unsealed, result));
    EXPECT_EQ(result, 0);
    // A descriptor on an ordinary request is dropped too.
    HANDLE good = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16, nullptr);
    EXPECT_TRUE(client->SendFd(unsealed, result));
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    ::close(unsealed);
    CloseHandle(good);
    peer.Command("objects");
    EXPECT_EQ(peer.WaitFor("OBJECTS"), "OBJECTS 0 0");
    client.reset();
    peer.Command("fds");
    EXPECT_EQ(peer.WaitFor("FDS"), fdsBefore);
}

TEST_F(Kernel, RemoteSendMessageToAHungOrDeadPeerReturnsZeroAfterTheTimeout) {
    FakePeer peer(FAKE_HIDETERM);
    ASSERT_TRUE(peer.Ready());
    afx_handles::SetRemoteTimeout(300);
    HWND hwnd = FindWindow("HideTermFrameClass", nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(SendMessage(hwnd, kCanSend), 1);

    peer.Command("hang 3000");
    ASSERT_EQ(peer.WaitFor("HANGING"), "HANGING");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SendMessage(hwnd, kCanSend), 0);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 290ms);
    EXPECT_LT(took, 1500ms);
    EXPECT_FALSE(IsWindow(hwnd));  // a handle that timed out is dead from then on

    hwnd = FindWindow("HideTermFrameClass", nullptr);  // the socket still accepts
    ASSERT_NE(hwnd, nullptr);
    peer.Kill();
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(SendMessage(hwnd, kCanSend), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_EQ(FindWindow("HideTermFrameClass", nullptr), nullptr);
}

// The fd check of the issue: 10,000 sends of a 4 KB mapping into the other process leave the
// open descriptors of both processes, and the kernel objects of both, as they were.
TEST_F(Kernel, TenThousandRoundTripsLeakNoDescriptor) {
    FakePeer peer(FAKE_HIDETERM);
    ASSERT_TRUE(peer.Ready());
    peer.Command("quiet 1");
    ASSERT_EQ(peer.WaitFor("OK"), "OK");
    const HWND hwnd = FindWindow("HideTermFrameClass", nullptr);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(SendTextTo(hwnd, std::string(4095, 'x')));  // the first connection is made
    peer.Command("fds");
    const std::string peerBefore = peer.WaitFor("FDS");
    const int before = OpenFdCount();
    const std::size_t objectsBefore = afx_kernel::OpenObjectCount();
    const std::string text(4095, 'A');
    int failures = 0;
    for (int i = 0; i < 10000; ++i) failures += SendTextTo(hwnd, text) ? 0 : 1;
    EXPECT_EQ(failures, 0);
    const int after = OpenFdCount();
    peer.Command("fds");
    const std::string peerAfter = peer.WaitFor("FDS");
    peer.Command("count");
    EXPECT_EQ(peer.WaitFor("COUNT"), "COUNT 10001");
    peer.Command("objects");
    EXPECT_EQ(peer.WaitFor("OBJECTS"), "OBJECTS 0 0");
    EXPECT_EQ(after, before);
    EXPECT_EQ(peerAfter, peerBefore);
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objectsBefore);
    EXPECT_EQ(afx_kernel::MappedViewCount(), 0u);
    std::printf("fd count after 10,000 round trips: sender %d -> %d, receiver %s -> %s\n", before,
                after, peerBefore.c_str() + 4, peerAfter.c_str() + 4);
}
