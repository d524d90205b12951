// Guards the decoding of API requests from other programs: any frame bytes decode without
// reading past them, and any data block given to any function code, at any size, leaves the
// document consistent and is never read or written past its end (ASan sees the exact size).
// The same bytes then go to a window's socket as one client's conversation, with descriptors
// riding on its pieces: only the messages the window takes from peers reach it, and once the
// client has gone the process holds no descriptor or object more than before.
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "database/ApiRequests.h"
#include "database/RecordStore.h"
#include "fuzz/FuzzSupport.h"
#include "platform/ipc/Handles.h"
#include "platform/ipc/Kernel.h"
#include "platform/ipc/SendToWindow.h"
#include "platform/ipc/SocketPaths.h"
#include "platform/ipc/WindowServer.h"
#include "platform/ipc/WindowWire.h"

namespace {

// The messages the window takes from other processes; any other reaching it is a fault.
bool Accepted(UINT message) {
    return message == WM_IDAPI_PRESENT || message == WM_IDAPI32;
}

class Window : public afx_handles::LocalWindow {
public:
    LRESULT Deliver(UINT message, WPARAM, LPARAM lParam) override {
        FUZZ_CHECK(Accepted(message));
        // The API closes the mapping it was given, as the program's own layer does.
        if (message == WM_IDAPI32) ::CloseHandle(reinterpret_cast<HANDLE>(lParam));
        return 1;
    }
    bool AcceptsFromPeer(UINT message) const override { return Accepted(message); }
    const char* ClassName() const override { return "FuzzWindow"; }
    bool IsTopLevel() const override { return true; }
};

struct Served {
    Window window;
    HWND hWnd = nullptr;
    std::unique_ptr<winlink::Server> server;
};

Served& TheWindow() {
    static Served* served = [] {
        setenv("XDG_RUNTIME_DIR", fuzz_support::WorkDir().c_str(), 1);
        auto* s = new Served;
        s->hWnd = afx_handles::NewHandle();
        afx_handles::AttachLocal(s->hWnd, &s->window);
        const HWND h = s->hWnd;
        s->server = winlink::Server::ListenWindow(
            reinterpret_cast<std::uintptr_t>(h),
            [h](const winlink::Request& r) { return afx_handles::ServePeerRequest(h, r); },
            afx_kernel::PassedMappings());
        FUZZ_CHECK(s->server);
        return s;
    }();
    return *served;
}

int OpenFds() {
    int n = 0;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (const dirent* e = ::readdir(d)) n += e->d_name[0] != '.';
        ::closedir(d);
    }
    return n;
}

// Message numbers worth trying besides raw ones: what ends, crashes or closes a window, the
// accepted ones, and the server's own.
constexpr UINT kInteresting[] = {0x0001,     0x0002,      0x0010,
                                 0x0111,     0x037E,      WM_IDAPI_PRESENT,
                                 WM_IDAPI32, WM_USER + 5, winlink::kDuplicateHandleMsg,
                                 0xFFFFFFFFu};

// The input as pieces [control][length][bytes]: control's low nibble is how many descriptors
// ride on the piece (beyond what a request may carry), bit 4 makes the bytes a whole request
// (message number, and a parameter that may be the handle the last answer gave).
void Converse(const std::uint8_t* data, std::size_t size) {
    Served& served = TheWindow();
    const int fdsBefore = OpenFds();
    const std::size_t objectsBefore = afx_kernel::OpenObjectCount();
    const int block = ::memfd_create("fuzz-block", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    FUZZ_CHECK(block >= 0 && ::ftruncate(block, 64) == 0);
    if (data[0] & 1) ::fcntl(block, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW);
    const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    FUZZ_CHECK(winlink::MakeAddress(
        winlink::WindowSocketPath(reinterpret_cast<std::uintptr_t>(served.hWnd)), addr));
    FUZZ_CHECK(::connect(client, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0);

    std::vector<unsigned char> answers;
    LRESULT lastAnswer = 0;
    for (std::size_t i = 0; i + 2 <= size;) {
        const std::uint8_t control = data[i];
        const std::size_t length = std::min<std::size_t>(data[i + 1], size - i - 2);
        const std::uint8_t* piece = data + i + 2;
        i += 2 + length;
        unsigned char frame[winlink::wire::kMaxRequestFrame];
        const unsigned char* bytes = piece;
        std::size_t count = length;
        if ((control & 0x10) && length >= 3) {
            winlink::Request r;
            r.msg = piece[0] < 0x80 ? kInteresting[piece[0] % std::size(kInteresting)]
                                    : static_cast<UINT>(piece[1] | (piece[2] << 8));
            r.wParam = piece[1];
            r.lParam = control & 0x20 ? lastAnswer : piece[2];
            count = winlink::wire::EncodeRequest(r, frame);
            bytes = frame;
        }
        const std::size_t fds = control & 0x0F;
        std::vector<int> passed(fds, block);
        iovec iov{const_cast<unsigned char*>(bytes), count};
        alignas(cmsghdr) char cmsg[CMSG_SPACE(sizeof(int) * 15)] = {};
        msghdr msg{};
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        if (fds && count) {
            msg.msg_control = cmsg;
            msg.msg_controllen = CMSG_SPACE(sizeof(int) * fds);
            cmsghdr* cm = CMSG_FIRSTHDR(&msg);
            cm->cmsg_level = SOL_SOCKET;
            cm->cmsg_type = SCM_RIGHTS;
            cm->cmsg_len = CMSG_LEN(sizeof(int) * fds);
            std::memcpy(CMSG_DATA(cm), passed.data(), sizeof(int) * fds);
        }
        if (count) ::sendmsg(client, &msg, MSG_NOSIGNAL | MSG_DONTWAIT);
        served.server->Dispatch(0);
        unsigned char in[256];
        ssize_t n;
        while ((n = ::recv(client, in, sizeof(in), MSG_DONTWAIT)) > 0)
            answers.insert(answers.end(), in, in + n);
        while (answers.size() >= winlink::wire::kAnswerFrame) {
            FUZZ_CHECK(winlink::wire::AnswerHeaderValid(answers.data(), answers.size()));
            unsigned char answer[winlink::wire::kAnswerFrame];
            std::memcpy(answer, answers.data(), sizeof(answer));
            lastAnswer = winlink::wire::DecodeAnswer(answer);
            answers.erase(answers.begin(), answers.begin() + winlink::wire::kAnswerFrame);
        }
    }
    ::close(client);
    ::close(block);
    for (int turn = 0; turn < 100 && served.server->ConnectionCount() > 0; ++turn)
        served.server->Dispatch(0);
    FUZZ_CHECK(served.server->ConnectionCount() == 0);
    FUZZ_CHECK(afx_kernel::OpenObjectCount() == objectsBefore);
    FUZZ_CHECK(OpenFds() == fdsBefore);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The wire: the length field decides how much is a frame.
    if (size >= 4) {
        const std::size_t length = winlink::wire::RequestFrameLength(data);
        winlink::Request request;
        const int fds[2] = {100, 101};
        if (length && length <= size) {
            std::vector<unsigned char> frame(data, data + length);
            FUZZ_CHECK(winlink::wire::DecodeRequest(frame.data(), frame.size(), fds, data[0] % 3,
                                                    request));
            for (const winlink::PassedBlock& b : request.blocks)
                FUZZ_CHECK(b.fd == -1 || b.handle != 0);
        }
    }

    CRecordStore doc;
    for (const char* id : {"ABC12345", "XYZ00001"}) FUZZ_CHECK(doc.AddNewID(id, "h"));
    const CString captions[7] = {"a", "b", "c", "d", "e", "f", "g"};
    // The codes of the old API and those beyond it.
    const WPARAM code = data[0] % 25 == 24 ? IDAPI_SETFIELDS : data[0] % 25;
    // A heap copy of exactly the block's size, so that any access past it is caught.
    std::vector<char> block(data + 1, data + size);
    velkon_api::Run32(doc, data[1] & 1 ? captions : nullptr, code, block.data(), block.size());

    doc.m_anSortIndex.ForEach([&](int r) { FUZZ_CHECK(!doc.m_abDeleted[r]); });
    // The record line of the 16-bit API reads back as the same record.
    if (doc.GetRecordCount() > 0) {
        const CString line = velkon_api::RecordLine16(doc, 0);
        int tabs = 0;
        for (char c : line.View()) tabs += c == '\t';
        FUZZ_CHECK(tabs == 10);
    }
    const std::string_view bytes(block.data(), block.size());
    velkon_api::SetRecord(doc, CString(bytes.substr(0, 8)), CString(bytes));

    Converse(data, size);
    return 0;
}
