#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <future>
#include <set>
#include <thread>
#include <vector>

#include "platform/ipc/SocketPaths.h"
#include "platform/ipc/WindowClient.h"
#include "platform/ipc/WindowServer.h"
#include "platform/ipc/WindowWire.h"
#include "tests/support/TestFiles.h"

using namespace std::chrono_literals;
using testing_support::Sjis;
using winlink::Client;
using winlink::Request;
using winlink::Server;

namespace {

LRESULT Echo(const Request& r) {
    return static_cast<LRESULT>(r.msg) + static_cast<LRESULT>(r.wParam) + r.lParam;
}

LRESULT Ask(Client& client, Request r) {
    LRESULT result = 0;
    return client.Send(r, result) ? result : -999;
}

// A peer that does by hand what Client never would.
int RawSocket(const std::string& path, bool listening) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strcpy(addr.sun_path, path.c_str());
    const auto* sa = reinterpret_cast<const sockaddr*>(&addr);
    if (listening ? (::bind(fd, sa, sizeof(addr)) != 0 || ::listen(fd, 4) != 0)
                  : ::connect(fd, sa, sizeof(addr)) != 0)
        ADD_FAILURE() << "raw socket: " << std::strerror(errno);
    return fd;
}

std::string Frame(std::uint32_t length, std::uint32_t msg, std::uint64_t w, std::int64_t l) {
    std::string f(24, '\0');
    std::memcpy(&f[0], &length, 4);  // the tests run little-endian
    std::memcpy(&f[4], &msg, 4);
    std::memcpy(&f[8], &w, 8);
    std::memcpy(&f[16], &l, 8);
    return f;
}

std::set<int> OpenFds() {
    std::set<int> fds;
    DIR* dir = ::opendir("/proc/self/fd");
    while (dirent* e = ::readdir(dir))
        if (e->d_name[0] != '.') fds.insert(std::atoi(e->d_name));
    fds.erase(::dirfd(dir));
    ::closedir(dir);
    return fds;
}

class WindowLink : public ::testing::Test {
protected:
    std::string Dir() const { return m_runtime.Path() + "/velkon95"; }

    // Runs `send` on another thread, as the sender's process would, while this one serves.
    template <class F>
    static auto Served(Server& server, F send) {
        auto done = std::async(std::launch::async, send);
        while (done.wait_for(0s) != std::future_status::ready) server.Dispatch(10);
        return done.get();
    }
    // True once the server has closed the raw peer `fd`.
    static bool ClosedByServer(Server& server, int fd) {
        char byte;
        for (int i = 0; i < 50; ++i) {
            server.Dispatch(10);
            const ssize_t n = ::recv(fd, &byte, 1, MSG_DONTWAIT);
            if (n == 0 || (n < 0 && errno == ECONNRESET)) return true;
        }
        return false;
    }

    testing_support::TempDir m_runtime;
    testing_support::ScopedEnv m_runtimeEnv{"XDG_RUNTIME_DIR", m_runtime.Path()};
};

TEST_F(WindowLink, AnswersManyRequestsOnOneConnectionOnTheServerThread) {
    const std::set<int> before = OpenFds();
    std::thread::id handlerThread;
    auto server = Server::Listen(Sjis("窓"), [&](const Request& r) {
        handlerThread = std::this_thread::get_id();
        return Echo(r);
    });
    ASSERT_TRUE(server);
    auto client = Client::Connect(Sjis("窓"));
    ASSERT_TRUE(client);

    const std::vector<LRESULT> answers = Served(*server, [&] {
        std::vector<LRESULT> out;
        for (UINT i = 0; i < 300; ++i) out.push_back(Ask(*client, {i, ~WPARAM(0), -7}));
        return out;
    });
    for (int i = 0; i < 300; ++i) ASSERT_EQ(answers[i], i - 8);
    EXPECT_EQ(handlerThread, std::this_thread::get_id());

    for (int fd : OpenFds())
        EXPECT_TRUE(before.count(fd) || (::fcntl(fd, F_GETFD) & FD_CLOEXEC)) << fd;
    const std::string path = server->Path();
    client.reset();
    server.reset();
    EXPECT_EQ(OpenFds(), before);
    EXPECT_FALSE(testing_support::FileExists(path));
    EXPECT_FALSE(Client::Connect(Sjis("窓")));
}

TEST_F(WindowLink, StaleSocketOfADeadProcessDoesNotHoldTheClass) {
    ASSERT_EQ(::mkdir(Dir().c_str(), 0700), 0);
    ::close(RawSocket(winlink::SocketPath("Crashed"), true));  // closed, never unlinked

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Client::Connect("Crashed"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);

    auto server = Server::Listen("Crashed", Echo);
    ASSERT_TRUE(server);
    EXPECT_FALSE(Server::Listen("Crashed", Echo));  // taken while its server lives
    auto client = Client::Connect("Crashed");
    ASSERT_TRUE(client);
    EXPECT_EQ(Served(*server, [&] { return Ask(*client, {5, 6, 7}); }), 18);
}

TEST_F(WindowLink, MisbehavingPeersLoseOnlyTheirOwnConnection) {
    auto server = Server::Listen("Robust", Echo);
    ASSERT_TRUE(server);
    auto good = Client::Connect("Robust");
    ASSERT_TRUE(good);

    const int half = RawSocket(server->Path(), false);
    ASSERT_EQ(::send(half, Frame(20, 1, 2, 3).data(), 10, 0), 10);
    ::close(half);
    const int huge = RawSocket(server->Path(), false);
    ::send(huge, Frame(0xFFFFFFFF, 1, 2, 3).data(), 24, 0);
    const int tiny = RawSocket(server->Path(), false);
    ::send(tiny, Frame(4, 1, 2, 3).data(), 8, 0);
    EXPECT_TRUE(ClosedByServer(*server, huge));
    EXPECT_TRUE(ClosedByServer(*server, tiny));
    ::close(huge);
    ::close(tiny);

    // Many requests in one write are all answered, in order, though over several turns.
    const int burst = RawSocket(server->Path(), false);
    std::string frames;
    for (int i = 0; i < 40; ++i) frames += Frame(20, i, 100, 0);
    ASSERT_EQ(::send(burst, frames.data(), frames.size(), 0), ssize_t(frames.size()));
    std::string answers;
    for (int i = 0; i < 100 && answers.size() < 40 * 12; ++i) {
        server->Dispatch(10);
        char buffer[1024];
        const ssize_t n = ::recv(burst, buffer, sizeof(buffer), MSG_DONTWAIT);
        if (n > 0) answers.append(buffer, n);
    }
    ASSERT_EQ(answers.size(), 40u * 12);
    for (int i = 0; i < 40; ++i) {
        std::int64_t result;
        std::memcpy(&result, &answers[i * 12 + 4], 8);
        EXPECT_EQ(result, 100 + i);
    }
    ::close(burst);

    EXPECT_EQ(Served(*server, [&] { return Ask(*good, {1, 1, 1}); }), 3);
}

TEST_F(WindowLink, SendGivesUpWhenTheAnswerDoesNotCome) {
    ASSERT_EQ(::mkdir(Dir().c_str(), 0700), 0);
    const int mute = RawSocket(winlink::SocketPath("Mute"), true);  // never accepts
    auto client = Client::Connect("Mute");
    ASSERT_TRUE(client);
    LRESULT r = 99;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(client->Send({1, 2, 3}, r, 200));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 190ms);
    EXPECT_LT(took, 2s);
    EXPECT_EQ(r, 0);
    // A late answer would belong to the old request, so the connection is not used again.
    EXPECT_FALSE(client->IsConnected());
    EXPECT_FALSE(client->Send({1, 2, 3}, r, 200));

    ::close(mute);
}

TEST_F(WindowLink, RuntimeDirectoryAndSocketNames) {
    auto server = Server::Listen("Private", Echo);
    ASSERT_TRUE(server);
    struct stat st {};
    ASSERT_EQ(::stat(Dir().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(winlink::RuntimeDirNotice(), "");
    EXPECT_EQ(winlink::SocketPath(Sjis("a/b 窓")), Dir() + "/a%2Fb%20窓.sock");
    EXPECT_NE(winlink::SocketPath("a/b"), winlink::SocketPath("a_b"));
    EXPECT_EQ(winlink::SocketPath(""), "");
    EXPECT_FALSE(Client::Connect(""));
    const CString tooLong('x', 120);
    EXPECT_FALSE(Server::Listen(tooLong, Echo));
    EXPECT_FALSE(Client::Connect(tooLong));
}

// Somebody else's $XDG_RUNTIME_DIR/velkon95 (another owner, open to others, a link to a place of
// their choosing) could hold sockets of theirs in place of ours: the user is told, and the
// programs meet in a private directory beside it instead.
TEST_F(WindowLink, ForeignRuntimeDirectoryIsReportedAndReplacedByAPrivateOne) {
    struct Squat {
        const char* why;
        std::function<void(const std::string&)> make;
    };
    const std::string elsewhere = m_runtime.Path() + "/elsewhere";
    ASSERT_EQ(::mkdir(elsewhere.c_str(), 0700), 0);
    std::vector<Squat> squats = {
        {"is open to others",
         [](const std::string& dir) {
             ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
             ASSERT_EQ(::chmod(dir.c_str(), 0777), 0);
         }},
        {"is a link",
         [&](const std::string& dir) { ASSERT_EQ(::symlink(elsewhere.c_str(), dir.c_str()), 0); }},
    };
    if (::geteuid() == 0) {
        squats.push_back({"belongs to another user", [](const std::string& dir) {
                              ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
                              ASSERT_EQ(::chown(dir.c_str(), 65534, 65534), 0);
                          }});
    } else {
        std::printf("not root: a directory of another owner is not tried\n");
    }
    for (const Squat& squat : squats) {
        SCOPED_TRACE(squat.why);
        testing_support::TempDir xdg;
        const testing_support::ScopedEnv env("XDG_RUNTIME_DIR", xdg.Path());
        const std::string taken = xdg.Path() + "/velkon95";
        squat.make(taken);
        const std::string notice = winlink::RuntimeDirNotice();
        const std::string spare = winlink::RuntimeDirPath();
        EXPECT_EQ(spare.rfind(taken + "-", 0), 0u) << spare;
        EXPECT_EQ(notice, taken + " " + squat.why + "; other programs reach this one through " +
                              spare + " instead");
        auto server = Server::Listen("Squatted", Echo);
        ASSERT_TRUE(server);
        EXPECT_EQ(server->Path(), spare + "/Squatted.sock");
        EXPECT_FALSE(Server::Listen("Squatted", Echo));  // still one instance
        auto client = Client::Connect("Squatted");
        ASSERT_TRUE(client);
        EXPECT_EQ(Served(*server, [&] { return Ask(*client, {1, 2, 3}); }), 6);
        client.reset();
        server.reset();
        // Nothing of ours went into the directory that is not ours.
        DIR* d = ::opendir(taken.c_str());
        int entries = 0;
        while (d && ::readdir(d)) ++entries;
        if (d) ::closedir(d);
        EXPECT_LE(entries, 2);
    }
}

TEST_F(WindowLink, RuntimeDirectoryWithoutXdgRuntimeDir) {
    ::setenv("XDG_RUNTIME_DIR", "relative", 1);  // not a directory to use
    const std::string root = m_runtime.Path();
    const std::string uid = std::to_string(::geteuid());
    ASSERT_EQ(::mkdir((root + "/run").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((root + "/tmp").c_str(), 0755), 0);
    winlink::SetRuntimeRootsForTesting(root + "/run", root + "/tmp");
    const std::string fallback = root + "/tmp/velkon95-" + uid;
    EXPECT_EQ(winlink::SocketPath("C"), fallback + "/C.sock");
    EXPECT_EQ(winlink::RuntimeDirNotice(), "");
    // The user's own /run/user/<uid>; not when others may enter it.
    const std::string run = root + "/run/" + uid;
    ASSERT_EQ(::mkdir(run.c_str(), 0700), 0);
    EXPECT_EQ(winlink::RuntimeDirPath(), run + "/velkon95");
    ::chmod(run.c_str(), 0755);
    EXPECT_EQ(winlink::RuntimeDirPath(), fallback);

    // The fallback made first by somebody else and left open to all: a private directory beside
    // it, the same one for every program of the user, who is told where it is.
    ASSERT_EQ(::mkdir(fallback.c_str(), 0700), 0);
    ::chmod(fallback.c_str(), 0777);
    const std::string spare = winlink::RuntimeDirPath();
    EXPECT_EQ(spare.rfind(fallback + "-", 0), 0u) << spare;
    EXPECT_EQ(winlink::RuntimeDirPath(), spare);
    struct stat st {};
    ASSERT_EQ(::stat(spare.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    const std::string notice = winlink::RuntimeDirNotice();
    EXPECT_NE(notice.find(fallback), std::string::npos);
    EXPECT_NE(notice.find(spare), std::string::npos);
    // And the API runs there.
    auto server = Server::Listen("Spare", Echo);
    ASSERT_TRUE(server);
    EXPECT_EQ(server->Path(), spare + "/Spare.sock");
    const std::uint64_t window = (static_cast<std::uint64_t>(::getpid()) << 32) | 0x20000;
    auto windowServer = Server::ListenWindow(window, Echo);
    ASSERT_TRUE(windowServer);

    // The squat goes: the usual name is free again, but the running server stays where it is.
    // Clients still find it, and a second start of the class does not make a second server.
    ASSERT_EQ(::rmdir(fallback.c_str()), 0);
    EXPECT_EQ(winlink::RuntimeDirNotice(), "");
    EXPECT_EQ(winlink::RuntimeDirPath(), fallback);
    auto client = Client::Connect("Spare");
    ASSERT_TRUE(client);
    EXPECT_EQ(Served(*server, [&] { return Ask(*client, {1, 2, 3}); }), 6);
    auto windowClient = Client::ConnectWindow(window);
    ASSERT_TRUE(windowClient);
    EXPECT_EQ(Served(*windowServer, [&] { return Ask(*windowClient, {1, 2, 4}); }), 7);
    EXPECT_FALSE(Server::Listen("Spare", Echo));
    // A server that starts now takes the usual directory; the clients find both.
    auto usual = Server::Listen("Usual", Echo);
    ASSERT_TRUE(usual);
    EXPECT_EQ(usual->Path(), fallback + "/Usual.sock");
    auto usualClient = Client::Connect("Usual");
    ASSERT_TRUE(usualClient);
    EXPECT_EQ(Served(*usual, [&] { return Ask(*usualClient, {1, 1, 1}); }), 3);
    client = Client::Connect("Spare");
    ASSERT_TRUE(client);
    EXPECT_EQ(Served(*server, [&] { return Ask(*client, {1, 2, 3}); }), 6);
    // Once the first server is gone, the next one of the class moves to the usual directory.
    client.reset();
    server.reset();
    server = Server::Listen("Spare", Echo);
    ASSERT_TRUE(server);
    EXPECT_EQ(server->Path(), fallback + "/Spare.sock");
    client = Client::Connect("Spare");
    ASSERT_TRUE(client);
    EXPECT_EQ(Served(*server, [&] { return Ask(*client, {1, 2, 3}); }), 6);
    client.reset();
    server.reset();
    winlink::SetRuntimeRootsForTesting("", "");
}

TEST_F(WindowLink, StaleWindowSocketsOfKilledProgramsAreRemoved) {
    ASSERT_EQ(::mkdir(Dir().c_str(), 0700), 0);
    // A window of a process that is gone (no process id is this high), nobody listening.
    const std::string stale = Dir() + "/window-7ffffff000010000.sock";
    ::close(RawSocket(stale, true));
    // One of a process that runs, and a file that is no window socket.
    const std::string live = Dir() + "/window-0000000100010000.sock";
    const int listening = RawSocket(live, true);
    const std::string other = Dir() + "/window-other.sock";
    ::close(::open(other.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600));
    auto server =
        Server::ListenWindow((static_cast<std::uint64_t>(::getpid()) << 32) | 0x10000, Echo);
    ASSERT_TRUE(server);
    EXPECT_NE(::access(stale.c_str(), F_OK), 0);
    EXPECT_EQ(::access(live.c_str(), F_OK), 0);
    EXPECT_EQ(::access(other.c_str(), F_OK), 0);
    ::close(listening);
}

}  // namespace
