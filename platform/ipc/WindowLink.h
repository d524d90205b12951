// The wire under windows that other processes find by class name and send messages to. A window
// class listens on a Unix domain socket named after it in a private per-user directory; a sent
// message is one framed request (message, wParam, lParam) answered by one LRESULT.
#pragma once

#include <poll.h>
#include <sys/types.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/Afx.h"
#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

namespace winlink {

// A global memory block of a 16-bit client that travels with a request: the handle value the
// client knows it by, and the block's descriptor while the request is served (-1: none came).
struct PassedBlock {
    WORD handle = 0;
    int fd = -1;
};

struct Request {
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::array<PassedBlock, 2> blocks{};
};

using Handler = std::function<LRESULT(const Request&)>;

// A request with this message number carries a file descriptor (SCM_RIGHTS); the server answers
// it itself with the handle value the descriptor got in the server's process (0 if it was not
// taken), without calling the handler.
constexpr UINT kDuplicateHandleMsg = 0xFFFF0001u;

// The frames on the wire: a little-endian u32 with the length of the body, then the body.
namespace wire {
constexpr std::size_t kHeader = 4;
// The largest frame a server reads.
constexpr std::size_t kMaxRequestFrame = kHeader + 4 + 8 + 8 + 2 + 2;
// The whole frame's length for the length field of a request; 0 for a length no request has.
std::size_t RequestFrameLength(const unsigned char* header);
// Encodes a request; with blocks when one of them has a handle. Returns the frame's length.
std::size_t EncodeRequest(const Request& request, unsigned char (&frame)[kMaxRequestFrame]);
// Decodes a whole frame of `length` bytes (as RequestFrameLength gave). The blocks get the
// descriptors in `fds` in the order of their nonzero handles; a handle without one gets -1.
bool DecodeRequest(const unsigned char* frame, std::size_t length, const int* fds,
                   std::size_t fdCount, Request& request);
}  // namespace wire

// The uid a server takes peers of; -1 restores the default, the process's own. A seam for the
// tests, which cannot run a client as another user.
void SetAcceptedUidForTesting(long uid);

// Where the window with handle value `window` listens, so that a handle passed to another process
// can be sent to; empty when the name does not fit. Nothing is created.
std::string WindowSocketPath(std::uint64_t window);

// Where the window of `className` (CP932) listens; empty for an empty name. Nothing is created.
std::string SocketPath(const CString& className);

// Listens for one window class in this process. Every request is answered by the handler, one at
// a time, on the thread the server was made on. If that thread has a Qt event loop (the server
// was made after the QCoreApplication, or in a QThread), requests are served by it; otherwise,
// or in addition, Dispatch serves them.
class Server {
public:
    // nullptr if the class is already served by a running process, the name does not fit in a
    // socket address, or the runtime directory is unusable.
    static std::unique_ptr<Server> Listen(const CString& className, Handler handler);
    // Listens for one window of this process by its handle value (unique to this process, since
    // it holds the process id), so that other processes holding the handle reach it.
    static std::unique_ptr<Server> ListenWindow(std::uint64_t window, Handler handler);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Waits up to timeoutMs for peers, serves whatever is ready and returns the number of
    // requests answered. Does nothing when called from inside the handler. The handler may
    // destroy the server; Dispatch then returns at once without touching it.
    int Dispatch(int timeoutMs = 0);
    // The same, also waiting for the caller's own descriptors; their revents are filled in.
    int Dispatch(int timeoutMs, std::vector<pollfd>& extra);
    const std::string& Path() const;
    // Peers connected now.
    std::size_t ConnectionCount() const;

    struct Impl;

private:
    explicit Server(std::unique_ptr<Impl> impl);
    static std::unique_ptr<Server> Finish(const std::string& path, int fd, Handler handler);
    std::unique_ptr<Impl> m;
};

// A connection to the window of a class in another (or the same) process. One thread at a time.
class Client {
public:
    // nullptr if nobody serves the class (also when a dead process left its socket behind).
    static std::unique_ptr<Client> Connect(const CString& className);
    // To the window of another process whose handle value this is; nullptr if it is not there.
    static std::unique_ptr<Client> ConnectWindow(std::uint64_t window);
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Sends one request and waits at most timeoutMs for its answer. False (and result 0) on
    // timeout, a vanished peer or a garbled answer; the connection is then closed, because a
    // late answer would be taken for the next request's, and every later Send fails too.
    // While it waits for the answer, the servers of this thread go on answering requests, as a
    // window that sends a message still answers the messages sent to it; so two windows that
    // send to each other at the same moment do not wait for each other.
    bool Send(const Request& request, LRESULT& result, int timeoutMs = 5000);
    // Sends a kDuplicateHandleMsg request carrying a duplicate of `fd`; result: the handle
    // value in the peer's process, 0 when it refused the descriptor.
    bool SendFd(int fd, LRESULT& result, int timeoutMs = 5000);
    // Sends a request whose blocks carry descriptors; the peer sees the blocks while it serves
    // the request and not after.
    bool SendBlocks(const Request& request, LRESULT& result, int timeoutMs = 5000);
    bool IsConnected() const { return m_fd >= 0; }
    // Connected, and the peer has not hung up (checked without waiting); a dead peer's
    // connection is closed.
    bool IsAlive();
    // The process at the other end, as the kernel reported it when the connection was made.
    pid_t PeerPid() const { return m_pid; }

private:
    Client(int fd, pid_t pid) : m_fd(fd), m_pid(pid) {}
    static std::unique_ptr<Client> ConnectPath(const std::string& path);
    bool Transact(const Request& request, const std::vector<int>& fds, LRESULT& result,
                  int timeoutMs);
    void Close();
    int m_fd;
    pid_t m_pid;
};

}  // namespace winlink
