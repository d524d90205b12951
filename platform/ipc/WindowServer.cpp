#include "platform/ipc/WindowServer.h"

#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "platform/base/UniqueFd.h"
#include "platform/ipc/EventLoopWatch.h"
#include "platform/ipc/SocketFiles.h"
#include "platform/ipc/SocketPaths.h"
#include "platform/ipc/WindowWire.h"

namespace winlink {

namespace {

// The server reads no further than the end of the frame at hand, so a connection buffers at most
// one frame and requests not yet served wait in the socket, where poll and the watches see
// them. Answers queued for a peer that does not read them stop the server from reading that
// peer once they pass kOutputCap.
constexpr std::size_t kInputCap = wire::kMaxRequestFrame;
constexpr std::size_t kOutputCap = 4096;
// One busy peer must not starve the others (or the UI) in a single turn.
constexpr int kRequestsPerTurn = 32;
// How often the server looks for peers that overstay.
constexpr int kTickMs = 1000;

long g_acceptedUid = -1;
EventLoopWatcher* g_watcher = nullptr;
ServerLimits g_limits;

bool PeerIsUs(int fd) {
    ucred cred{};
    socklen_t len = sizeof(cred);
    const uid_t uid = g_acceptedUid >= 0 ? static_cast<uid_t>(g_acceptedUid) : ::geteuid();
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && len == sizeof(cred) &&
           cred.uid == uid;
}

// An object made of a descriptor the peer passed, which the connection owns until a request
// names it, and no longer than the limits allow.
struct PassedObject {
    std::uintptr_t handle = 0;
    Clock::time_point at;
};

struct Connection {
    const ConnectionId id = NewConnectionId();
    UniqueFd fd;
    std::array<unsigned char, kInputCap> in{};
    std::size_t inLength = 0;
    std::vector<unsigned char> out;
    // Descriptors that came with the request being read (SCM_RIGHTS).
    std::vector<UniqueFd> fds;
    std::vector<PassedObject> passed;
    // The last byte read or written, and the first byte of the frame being read.
    Clock::time_point active = Clock::now();
    Clock::time_point frameStart;
    bool dead = false;
    // After fd, so that they go before it is closed.
    std::unique_ptr<DescriptorWatch> readWatch;
    std::unique_ptr<DescriptorWatch> writeWatch;
};

}  // namespace

void SetAcceptedUidForTesting(long uid) {
    g_acceptedUid = uid;
}

void SetServerLimitsForTesting(const ServerLimits& limits) {
    g_limits = limits;
}

void SetEventLoopWatcher(EventLoopWatcher* watcher) {
    g_watcher = watcher;
}

EventLoopWatcher* GetEventLoopWatcher() {
    return g_watcher;
}

struct Server::Impl {
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
    Handler handler;
    PassedObjects passedObjects;
    UniqueFd listener;
    std::unique_ptr<DescriptorWatch> acceptWatch;
    // Ticks while peers are connected, for the limits; the watch serves it in an event loop,
    // Dispatch otherwise.
    UniqueFd timer;
    std::unique_ptr<DescriptorWatch> timerWatch;
    bool timerArmed = false;
    // The listener is not watched until the next tick: the process ran out of descriptors
    // and nobody could make room.
    bool acceptPaused = false;
    std::vector<std::unique_ptr<Connection>> connections;
    EventLoopWatcher* watcher = nullptr;
    bool inHandler = false;
    // A watch fired inside a handler (a nested event loop) and was switched off.
    bool deferred = false;
    // Goes false when the server is destroyed, which a handler may do.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    Impl();
    ~Impl();
    bool AcceptAll(int& answered);
    bool MakeRoom();
    bool Serve(Connection& c, int& answered);
    LRESULT Answer(Connection& c, const Request& request, UniqueFd passed, bool& destroyed);
    void Adopted(Connection& c, std::uintptr_t handle);
    void ReleaseNamed(Connection& c, const Request& request);
    void Release(Connection& c);
    void Expire();
    void OnTick();
    void ArmTimer();
    void Flush(Connection& c);
    void UpdateWatches(Connection& c);
    void Resume();
    void Sweep();
    void OnReady(Connection* c);
    int Dispatch(int timeoutMs, std::vector<pollfd>* extra);
    void AddPollFds(std::vector<pollfd>& fds) const;
};

namespace {
// The servers made on this thread, which a client on it keeps serving while it waits.
thread_local std::vector<Server::Impl*> t_servers;

ssize_t ReceiveWithFds(Connection& c, std::size_t want) {
    iovec iov{c.in.data() + c.inLength, want};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * 8)];
    msghdr msg{};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof(control);
    const ssize_t n = ::recvmsg(c.fd.Get(), &msg, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
    if (n < 0) return n;
    for (cmsghdr* cm = CMSG_FIRSTHDR(&msg); cm; cm = CMSG_NXTHDR(&msg, cm)) {
        if (cm->cmsg_level != SOL_SOCKET || cm->cmsg_type != SCM_RIGHTS) continue;
        const std::size_t count = (cm->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < count; ++i) {
            int fd;
            std::memcpy(&fd, CMSG_DATA(cm) + i * sizeof(int), sizeof(int));
            UniqueFd owned(fd);  // closed at once unless kept
            if (c.fds.size() < wire::kMaxFdsPerRequest) c.fds.push_back(std::move(owned));
        }
    }
    return n;
}
}  // namespace

Server::Impl::Impl() {
    t_servers.push_back(this);
}

Server::Impl::~Impl() {
    std::erase(t_servers, this);
    // A newer server may have replaced a socket file we no longer listen on; that one stays.
    struct stat st {};
    if (!path.empty() && ::lstat(path.c_str(), &st) == 0 && st.st_dev == device &&
        st.st_ino == inode)
        ::unlink(path.c_str());
    for (auto& c : connections) Release(*c);
    connections.clear();
    acceptWatch.reset();
    timerWatch.reset();
}

// Takes every waiting peer and serves what it has already sent. False like Serve.
bool Server::Impl::AcceptAll(int& answered) {
    for (;;) {
        UniqueFd fd(::accept4(listener.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd.Valid()) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            if ((errno == EMFILE || errno == ENFILE) && MakeRoom()) continue;
            if (errno == EMFILE || errno == ENFILE) {
                // The waiting peer would make the listener ready on every turn of the loop.
                acceptPaused = true;
                if (acceptWatch) acceptWatch->SetEnabled(false);
                ArmTimer();
            }
            return true;
        }
        if (!PeerIsUs(fd.Get())) continue;
        // A new client is always served: the connection that has been quiet longest goes.
        if (connections.size() >= g_limits.connections && !MakeRoom()) continue;
        auto c = std::make_unique<Connection>();
        c->fd = std::move(fd);
        if (watcher) {
            Connection* raw = c.get();
            c->readWatch = watcher->Watch(c->fd.Get(), false, [this, raw] { OnReady(raw); });
            c->writeWatch = watcher->Watch(c->fd.Get(), true, [this, raw] { OnReady(raw); });
            c->writeWatch->SetEnabled(false);
        }
        connections.push_back(std::move(c));
        ArmTimer();
        if (!Serve(*connections.back(), answered)) return false;
    }
}

// Closes the connection that has been quiet longest, preferring one with no request waiting to
// be read. False when there is none (only the one being served).
bool Server::Impl::MakeRoom() {
    Connection* victim = nullptr;
    bool victimWaiting = true;
    for (auto& c : connections) {
        if (c->dead) {
            victim = c.get();
            break;
        }
        int waiting = 0;
        const bool hasInput = ::ioctl(c->fd.Get(), FIONREAD, &waiting) == 0 && waiting > 0;
        if (!victim || (victimWaiting && !hasInput) ||
            (victimWaiting == hasInput && c->active < victim->active)) {
            victim = c.get();
            victimWaiting = hasInput;
        }
    }
    if (!victim || inHandler) return false;
    Release(*victim);
    std::erase_if(connections, [victim](const auto& c) { return c.get() == victim; });
    return true;
}

void Server::Impl::Adopted(Connection& c, std::uintptr_t handle) {
    if (!handle) return;
    // A peer that passes and never uses must not take the process's descriptors with it.
    if (c.passed.size() >= g_limits.passedPerConnection) {
        if (passedObjects.release) passedObjects.release(c.passed.front().handle, c.id);
        c.passed.erase(c.passed.begin());
    }
    c.passed.push_back({handle, Clock::now()});
}

// The request is done with what it named.
void Server::Impl::ReleaseNamed(Connection& c, const Request& request) {
    if (c.passed.empty()) return;
    std::erase_if(c.passed, [&](const PassedObject& o) {
        const bool named = o.handle == static_cast<std::uintptr_t>(request.wParam) ||
                           o.handle == static_cast<std::uintptr_t>(request.lParam);
        if (named && passedObjects.release) passedObjects.release(o.handle, c.id);
        return named;
    });
}

void Server::Impl::Release(Connection& c) {
    if (passedObjects.release)
        for (const PassedObject& o : c.passed) passedObjects.release(o.handle, c.id);
    c.passed.clear();
}

// Drops what overstays: descriptors nobody used, frames left half-written, and connections
// quiet for far longer than a client needs.
void Server::Impl::Expire() {
    if (inHandler) return;
    const auto now = Clock::now();
    const auto ms = [](int n) { return std::chrono::milliseconds(n); };
    for (auto& c : connections) {
        std::erase_if(c->passed, [&](const PassedObject& o) {
            const bool old = now - o.at >= ms(g_limits.passedMs);
            if (old && passedObjects.release) passedObjects.release(o.handle, c->id);
            return old;
        });
        if (c->inLength > 0 && now - c->frameStart >= ms(g_limits.frameMs)) c->dead = true;
        if (c->inLength == 0 && c->out.empty() && now - c->active >= ms(g_limits.idleMs))
            c->dead = true;
        // Answers the peer does not read.
        if (!c->out.empty() && now - c->active >= ms(g_limits.frameMs)) c->dead = true;
    }
    Sweep();
}

void Server::Impl::OnTick() {
    std::uint64_t expirations = 0;
    while (::read(timer.Get(), &expirations, sizeof(expirations)) < 0 && errno == EINTR) {
    }
    if (acceptPaused && !inHandler) {
        acceptPaused = false;
        if (acceptWatch) acceptWatch->SetEnabled(true);
    }
    Expire();
    ArmTimer();
}

// The timer runs while there is something to watch over.
void Server::Impl::ArmTimer() {
    const bool wanted = !connections.empty() || acceptPaused;
    if (!timer.Valid() || wanted == timerArmed) return;
    itimerspec period{};
    if (wanted) {
        period.it_interval.tv_sec = kTickMs / 1000;
        period.it_interval.tv_nsec = (kTickMs % 1000) * 1000000L;
        period.it_value = period.it_interval;
    }
    if (::timerfd_settime(timer.Get(), 0, &period, nullptr) == 0) timerArmed = wanted;
}

void Server::Impl::Flush(Connection& c) {
    std::size_t sent = 0;
    while (sent < c.out.size()) {
        const ssize_t n = ::send(c.fd.Get(), c.out.data() + sent, c.out.size() - sent,
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            c.active = Clock::now();
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else {
            c.dead = true;
            c.out.clear();
            return;
        }
    }
    c.out.erase(c.out.begin(), c.out.begin() + static_cast<std::ptrdiff_t>(sent));
}

// The result of one request. `destroyed` when the handler destroyed the server; nothing of it
// may be touched then.
LRESULT Server::Impl::Answer(Connection& c, const Request& request, UniqueFd passed,
                             bool& destroyed) {
    destroyed = false;
    if (request.msg == kDuplicateHandleMsg) {
        // The descriptor becomes an object of this process; the sender learns its handle value.
        if (!passed.Valid() || !passedObjects.adopt) return 0;
        const std::uintptr_t handle = passedObjects.adopt(passed.Release(), c.id);
        Adopted(c, handle);
        return static_cast<LRESULT>(handle);
    }
    passed.Reset();  // a descriptor nobody asked for
    const std::shared_ptr<bool> stillAlive = alive;
    inHandler = true;
    LRESULT result = 0;
    try {
        // What the connection passed is usable in here, and no other connection's.
        const ServingConnection serving(c.id);
        result = handler(request);
    } catch (...) {
        if (*stillAlive) inHandler = false;
        throw;
    }
    if (!*stillAlive) {
        destroyed = true;
        return 0;
    }
    inHandler = false;
    return result;
}

// Answers what the peer has sent, as far as it can without blocking. False when the handler
// destroyed the server; nothing of it may be touched then.
bool Server::Impl::Serve(Connection& c, int& answered) {
    Flush(c);
    int budget = kRequestsPerTurn;
    while (!c.dead && c.out.size() < kOutputCap && budget > 0) {
        const std::size_t frameLength = c.inLength >= 4 ? wire::RequestFrameLength(c.in.data()) : 0;
        if (c.inLength >= 4 && frameLength == 0) {
            c.dead = true;
            break;
        }
        if (frameLength && c.inLength >= frameLength) {
            std::vector<UniqueFd> passedFds = std::move(c.fds);
            c.fds.clear();
            int rawFds[wire::kMaxFdsPerRequest];
            for (std::size_t i = 0; i < passedFds.size(); ++i) rawFds[i] = passedFds[i].Get();
            Request request;
            wire::DecodeRequest(c.in.data(), frameLength, rawFds, passedFds.size(), request);
            c.inLength = 0;
            UniqueFd passed;
            if (frameLength == wire::kRequestFrame && !passedFds.empty())
                passed = std::move(passedFds[0]);

            bool destroyed = false;
            const LRESULT result = Answer(c, request, std::move(passed), destroyed);
            if (destroyed) return false;
            if (request.msg != kDuplicateHandleMsg) ReleaseNamed(c, request);
            c.active = Clock::now();

            unsigned char answer[wire::kAnswerFrame];
            wire::EncodeAnswer(result, answer);
            c.out.insert(c.out.end(), answer, answer + wire::kAnswerFrame);
            ++answered;
            --budget;
            Flush(c);
            if (deferred) Resume();
            continue;
        }
        const std::size_t want = c.inLength < 4 ? 4 - c.inLength : frameLength - c.inLength;
        const ssize_t n = ReceiveWithFds(c, want);
        if (n > 0) {
            c.active = Clock::now();
            if (c.inLength == 0) c.frameStart = c.active;
            c.inLength += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else {
            c.dead = true;  // the peer left, or its socket failed
        }
    }
    UpdateWatches(c);
    return true;
}

void Server::Impl::UpdateWatches(Connection& c) {
    if (!c.readWatch) return;
    c.readWatch->SetEnabled(!c.dead && c.out.size() < kOutputCap);
    c.writeWatch->SetEnabled(!c.dead && !c.out.empty());
}

void Server::Impl::Resume() {
    deferred = false;
    if (acceptWatch) acceptWatch->SetEnabled(true);
    for (auto& c : connections) UpdateWatches(*c);
}

void Server::Impl::Sweep() {
    std::erase_if(connections, [this](const std::unique_ptr<Connection>& c) {
        if (c->dead) Release(*c);
        return c->dead;
    });
    ArmTimer();
}

void Server::Impl::OnReady(Connection* c) {
    if (inHandler) {
        // A handler runs a nested event loop (a message box, say). Requests wait for it to
        // return, so that they are answered one at a time and in order; the watch is switched
        // off meanwhile, or it would fire again on every turn of that loop.
        if (c && c->readWatch) {
            c->readWatch->SetEnabled(false);
            c->writeWatch->SetEnabled(false);
        } else if (!c && acceptWatch) {
            acceptWatch->SetEnabled(false);
        }
        deferred = true;
        return;
    }
    int answered = 0;
    if (!(c ? Serve(*c, answered) : AcceptAll(answered))) return;
    Sweep();
}

void Server::Impl::AddPollFds(std::vector<pollfd>& fds) const {
    fds.push_back({listener.Get(), static_cast<short>(acceptPaused ? 0 : POLLIN), 0});
    for (const auto& c : connections) {
        short events = 0;
        if (c->out.size() < kOutputCap) events |= POLLIN;
        if (!c->out.empty()) events |= POLLOUT;
        fds.push_back({c->fd.Get(), events, 0});
    }
}

int Server::Impl::Dispatch(int timeoutMs, std::vector<pollfd>* extra) {
    if (inHandler) {
        if (extra && !extra->empty()) {
            ::poll(extra->data(), extra->size(), timeoutMs < 0 ? 0 : timeoutMs);
        }
        return 0;
    }
    if (!watcher && timerArmed) {
        std::uint64_t expirations = 0;
        if (::read(timer.Get(), &expirations, sizeof(expirations)) > 0) OnTick();
    }
    std::vector<pollfd> fds;
    fds.reserve(connections.size() + 1 + (extra ? extra->size() : 0));
    AddPollFds(fds);
    const std::size_t own = fds.size();
    if (extra) fds.insert(fds.end(), extra->begin(), extra->end());
    const int ready = ::poll(fds.data(), fds.size(), timeoutMs < 0 ? 0 : timeoutMs);
    if (extra) {
        for (std::size_t i = 0; i < extra->size(); ++i)
            (*extra)[i].revents = ready > 0 ? fds[own + i].revents : 0;
    }
    if (ready <= 0) return 0;

    int answered = 0;
    // Accepted connections go to the end, so the indexes of the polled ones stay valid.
    const std::size_t polled = connections.size();
    for (std::size_t i = 0; i < polled; ++i) {
        if (fds[i + 1].revents && !Serve(*connections[i], answered)) return answered;
    }
    if (fds[0].revents && !AcceptAll(answered)) return answered;
    Sweep();
    return answered;
}

Server::Server(std::unique_ptr<Impl> impl) : m(std::move(impl)) {}

Server::~Server() {
    *m->alive = false;
}

const std::string& Server::Path() const {
    return m->path;
}

std::size_t Server::ConnectionCount() const {
    std::size_t n = 0;
    for (const auto& c : m->connections) n += c->dead ? 0 : 1;
    return n;
}

int Server::Dispatch(int timeoutMs) {
    return m->Dispatch(timeoutMs, nullptr);
}

int Server::Dispatch(int timeoutMs, std::vector<pollfd>& extra) {
    return m->Dispatch(timeoutMs, &extra);
}

std::unique_ptr<Server> Server::Listen(const CString& className, Handler handler,
                                       PassedObjects passed) {
    const std::string path = SocketPath(className);
    UniqueFd fd = BindClassSocket(path);
    if (!fd.Valid()) return nullptr;
    return Finish(path, fd.Release(), std::move(handler), std::move(passed));
}

std::unique_ptr<Server> Server::ListenWindow(std::uint64_t window, Handler handler,
                                             PassedObjects passed) {
    const std::string path = WindowSocketPath(window);
    UniqueFd fd = BindWindowSocket(path);
    if (!fd.Valid()) return nullptr;
    return Finish(path, fd.Release(), std::move(handler), std::move(passed));
}

std::unique_ptr<Server> Server::Finish(const std::string& path, int rawFd, Handler handler,
                                       PassedObjects passed) {
    UniqueFd fd(rawFd);
    auto impl = std::make_unique<Impl>();
    // From here on the destructor removes the file again if anything fails.
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        ::unlink(path.c_str());
        return nullptr;
    }
    impl->path = path;
    impl->device = st.st_dev;
    impl->inode = st.st_ino;
    if (::listen(fd.Get(), SOMAXCONN) != 0) return nullptr;
    impl->listener = std::move(fd);
    impl->handler = std::move(handler);
    impl->passedObjects = std::move(passed);
    impl->timer = UniqueFd(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC));

    // Without an event loop on this thread a watch would never fire; Dispatch serves then.
    if (g_watcher && g_watcher->ThreadHasLoop()) {
        Impl* raw = impl.get();
        impl->watcher = g_watcher;
        impl->acceptWatch =
            g_watcher->Watch(impl->listener.Get(), false, [raw] { raw->OnReady(nullptr); });
        if (impl->timer.Valid())
            impl->timerWatch = g_watcher->Watch(impl->timer.Get(), false, [raw] { raw->OnTick(); });
    }
    return std::unique_ptr<Server>(new Server(std::move(impl)));
}

bool Server::WaitServing(int fd, Clock::time_point deadline) {
    for (;;) {
        // A server whose handler is running (it is the one waiting) waits for its turn.
        std::vector<Server::Impl*> servers;
        for (Server::Impl* s : t_servers)
            if (!s->inHandler) servers.push_back(s);
        std::vector<pollfd> fds{{fd, POLLIN, 0}};
        for (Server::Impl* s : servers) s->AddPollFds(fds);
        const int r = ::poll(fds.data(), fds.size(), MillisecondsLeft(deadline));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        if (fds[0].revents) return true;
        for (Server::Impl* s : servers) {
            // A handler may have destroyed another server of the list.
            if (std::find(t_servers.begin(), t_servers.end(), s) != t_servers.end())
                s->Dispatch(0, nullptr);
        }
    }
}

}  // namespace winlink
