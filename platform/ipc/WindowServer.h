// Listens for one window of this process on its socket and answers every request with the
// window's handler, one at a time, on the thread the server was made on. If that thread runs the
// event loop of the installed watcher (EventLoopWatch.h), requests are served by it; otherwise,
// or in addition, Dispatch serves them.
#pragma once

#include <poll.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/CString.h"
#include "platform/ipc/Deadline.h"
#include "platform/ipc/WindowRequest.h"

namespace winlink {

// The uid a server takes peers of; -1 restores the default, the process's own. A seam for the
// tests, which cannot run a client as another user.
void SetAcceptedUidForTesting(long uid);

// How long a server waits on its peers. No client needs more: a frame is written at once, a
// descriptor is passed just before the request that uses it, and a client that went quiet
// connects again when it has something to send.
struct ServerLimits {
    int frameMs = 3000;          // from the first byte of a frame to its last
    int idleMs = 5 * 60 * 1000;  // a connection with nothing under way
    int passedMs = 5000;         // a passed descriptor no request has named
    std::size_t passedPerConnection = 16;
    std::size_t connections = 128;  // beyond this the longest quiet connection makes room
};
// For the tests; every server follows them from now on.
void SetServerLimitsForTesting(const ServerLimits& limits);

class Server {
public:
    // For a window class: nullptr if the class is already served by a running process, the
    // name does not fit in a socket address, or the runtime directory is unusable. Descriptors
    // that peers pass go to `passed`; without it they are refused.
    static std::unique_ptr<Server> Listen(const CString& className, Handler handler,
                                          PassedObjects passed = {});
    // For one window of this process by its handle value (unique to this process, since it
    // holds the process id), so that other processes holding the handle reach it.
    static std::unique_ptr<Server> ListenWindow(std::uint64_t window, Handler handler,
                                                PassedObjects passed = {});
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

    // Waits until `fd` is readable or the deadline passes, serving the servers of this thread
    // meanwhile (but one whose handler is running: it is the one waiting). False at the
    // deadline.
    static bool WaitServing(int fd, Clock::time_point deadline);

    struct Impl;

private:
    explicit Server(std::unique_ptr<Impl> impl);
    static std::unique_ptr<Server> Finish(const std::string& path, int fd, Handler handler,
                                          PassedObjects passed);
    std::unique_ptr<Impl> m;
};

}  // namespace winlink
