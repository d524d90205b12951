#include "platform/ipc/WindowLink.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>
#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/ipc/Kernel.h"

namespace winlink {

namespace {

// Frames are a little-endian u32 with the length of the rest, then the body. Two request bodies
// (u32 msg, u64 wParam, i64 lParam; the same followed by two u16 block handles) and one answer
// body (i64 result). A reader rejects any length it does not know by dropping the connection, so
// it never waits for, or reads, more than it can hold.
constexpr std::uint32_t kRequestBody = 4 + 8 + 8;
constexpr std::uint32_t kBlockRequestBody = kRequestBody + 2 + 2;
constexpr std::size_t kRequestFrame = 4 + kRequestBody;
constexpr std::uint32_t kAnswerBody = 8;
constexpr std::size_t kAnswerFrame = 4 + kAnswerBody;
static_assert(wire::kMaxRequestFrame == 4 + kBlockRequestBody);

// The server reads no further than the end of the frame at hand, so a connection buffers at most
// one frame and requests not yet served wait in the socket, where poll and the notifiers see
// them. Answers queued for a peer that does not read them stop the server from reading that
// peer once they pass kOutputCap.
constexpr std::size_t kInputCap = wire::kMaxRequestFrame;
constexpr std::size_t kOutputCap = 4096;
// One busy peer must not starve the others (or the UI) in a single turn.
constexpr int kRequestsPerTurn = 32;
constexpr std::size_t kMaxConnections = 128;
constexpr int kConnectTimeoutMs = 1000;
constexpr int kLockTimeoutMs = 2000;
// A request carries at most one descriptor per block; more are closed on arrival.
constexpr std::size_t kMaxFdsPerRequest = 2;

long g_acceptedUid = -1;

void PutU32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void PutU64(unsigned char* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
std::uint32_t GetU32(const unsigned char* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}
std::uint64_t GetU64(const unsigned char* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& o) noexcept : m_fd(o.Release()) {}
    UniqueFd& operator=(UniqueFd&& o) noexcept {
        if (this != &o) {
            Reset();
            m_fd = o.Release();
        }
        return *this;
    }
    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void Reset() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
};

std::string RuntimeDirPath() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/velkon95";
    return "/tmp/velkon95-" + std::to_string(::geteuid());
}

// Anyone who can write into the directory could put a socket of theirs in place of ours and
// read what we send, so a directory that is not ours alone is not used.
bool PrepareRuntimeDir(const std::string& dir, bool create) {
    if (create && ::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

bool MakeAddress(const std::string& path, sockaddr_un& addr) {
    addr = {};
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(addr.sun_path)) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool PeerIsUs(int fd) {
    ucred cred{};
    socklen_t len = sizeof(cred);
    const uid_t uid = g_acceptedUid >= 0 ? static_cast<uid_t>(g_acceptedUid) : ::geteuid();
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && len == sizeof(cred) &&
           cred.uid == uid;
}

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// True when the socket may be used for `events` (or has failed, which the next call reports).
bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, MillisecondsLeft(deadline));
        if (r > 0) return true;
        if (r == 0 || errno != EINTR) return false;
    }
}

enum class Probe { Live, Stale, Gone };

// What is behind an existing socket file: a listening server, or only the file a dead process
// left. A server too busy to take the connection is still alive.
Probe ProbeSocket(const sockaddr_un& addr) {
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.Valid()) return Probe::Live;
    for (;;) {
        if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) == 0)
            return Probe::Live;
        if (errno == EINTR) continue;
        if (errno == ECONNREFUSED) return Probe::Stale;
        if (errno == ENOENT) return Probe::Gone;
        return Probe::Live;
    }
}

// Two processes that both find a stale socket would otherwise both remove it and bind, the
// second unlinking the first one's live socket. The lock covers only that short stretch.
UniqueFd LockName(const std::string& lockPath) {
    UniqueFd fd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.Valid()) return fd;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kLockTimeoutMs);
    while (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline)
            return UniqueFd();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return fd;
}

}  // namespace

void SetAcceptedUidForTesting(long uid) {
    g_acceptedUid = uid;
}

namespace wire {

std::size_t RequestFrameLength(const unsigned char* header) {
    const std::uint32_t body = GetU32(header);
    return body == kRequestBody || body == kBlockRequestBody ? kHeader + body : 0;
}

std::size_t EncodeRequest(const Request& request, unsigned char (&frame)[kMaxRequestFrame]) {
    const bool blocks = request.blocks[0].handle || request.blocks[1].handle;
    PutU32(frame, blocks ? kBlockRequestBody : kRequestBody);
    PutU32(frame + 4, request.msg);
    PutU64(frame + 8, static_cast<std::uint64_t>(request.wParam));
    PutU64(frame + 16, static_cast<std::uint64_t>(static_cast<std::int64_t>(request.lParam)));
    if (!blocks) return kRequestFrame;
    for (int i = 0; i < 2; ++i) {
        frame[24 + 2 * i] = static_cast<unsigned char>(request.blocks[i].handle);
        frame[25 + 2 * i] = static_cast<unsigned char>(request.blocks[i].handle >> 8);
    }
    return kMaxRequestFrame;
}

bool DecodeRequest(const unsigned char* frame, std::size_t length, const int* fds,
                   std::size_t fdCount, Request& request) {
    request = Request{};
    if (length < kHeader || RequestFrameLength(frame) != length) return false;
    const unsigned char* p = frame + 4;
    request.msg = GetU32(p);
    request.wParam = static_cast<WPARAM>(GetU64(p + 4));
    request.lParam = static_cast<LPARAM>(static_cast<std::int64_t>(GetU64(p + 12)));
    if (length == kMaxRequestFrame) {
        std::size_t next = 0;
        for (int i = 0; i < 2; ++i) {
            const auto handle = static_cast<WORD>(p[20 + 2 * i] | (p[21 + 2 * i] << 8));
            request.blocks[i].handle = handle;
            if (handle && next < fdCount) request.blocks[i].fd = fds[next++];
        }
    }
    return true;
}

}  // namespace wire

std::string SocketPath(const CString& className) {
    if (className.IsEmpty()) return {};
    // Escaping rather than replacing keeps different class names apart ("a/b" and "a_b").
    static const char kHex[] = "0123456789ABCDEF";
    std::string name;
    for (const char ch : Cp932ToUtf8(className.View())) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
            b == '-' || b == '_' || b == '.' || b >= 0x80) {
            name += ch;
        } else {
            name += '%';
            name += kHex[b >> 4];
            name += kHex[b & 15];
        }
    }
    return RuntimeDirPath() + "/" + name + ".sock";
}

std::string WindowSocketPath(std::uint64_t window) {
    char name[40];
    std::snprintf(name, sizeof(name), "/window-%016llx.sock",
                  static_cast<unsigned long long>(window));
    return RuntimeDirPath() + name;
}

// ---------------------------------------------------------------------------------------------

namespace {

struct Connection {
    UniqueFd fd;
    std::array<unsigned char, kInputCap> in{};
    std::size_t inLength = 0;
    std::vector<unsigned char> out;
    // Descriptors that came with the request being read (SCM_RIGHTS).
    std::vector<UniqueFd> fds;
    bool dead = false;
    // After fd, so that they go before it is closed.
    std::unique_ptr<QSocketNotifier> readNotifier;
    std::unique_ptr<QSocketNotifier> writeNotifier;
};

}  // namespace

struct Server::Impl {
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
    Handler handler;
    UniqueFd listener;
    std::unique_ptr<QSocketNotifier> acceptNotifier;
    std::vector<std::unique_ptr<Connection>> connections;
    bool useNotifiers = false;
    bool inHandler = false;
    // A notifier fired inside a handler (a nested event loop) and was switched off.
    bool deferred = false;
    // Goes false when the server is destroyed, which a handler may do.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    Impl();
    ~Impl();
    bool AcceptAll(int& answered);
    bool Serve(Connection& c, int& answered);
    void Flush(Connection& c);
    void UpdateNotifiers(Connection& c);
    void Resume();
    void Sweep();
    void OnActivated(Connection* c);
    int Dispatch(int timeoutMs, std::vector<pollfd>* extra);
    void AddPollFds(std::vector<pollfd>& fds) const;
};

namespace {
// The servers made on this thread, which a Client::Send on it keeps serving while it waits.
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
            if (c.fds.size() < kMaxFdsPerRequest) c.fds.push_back(std::move(owned));
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
    connections.clear();
    acceptNotifier.reset();
}

// Takes every waiting peer and serves what it has already sent. False like Serve.
bool Server::Impl::AcceptAll(int& answered) {
    for (;;) {
        UniqueFd fd(::accept4(listener.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd.Valid()) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return true;
        }
        if (!PeerIsUs(fd.Get()) || connections.size() >= kMaxConnections) continue;
        auto c = std::make_unique<Connection>();
        c->fd = std::move(fd);
        if (useNotifiers) {
            Connection* raw = c.get();
            c->readNotifier = std::make_unique<QSocketNotifier>(c->fd.Get(), QSocketNotifier::Read);
            c->writeNotifier =
                std::make_unique<QSocketNotifier>(c->fd.Get(), QSocketNotifier::Write);
            c->writeNotifier->setEnabled(false);
            for (QSocketNotifier* n : {c->readNotifier.get(), c->writeNotifier.get()})
                QObject::connect(n, &QSocketNotifier::activated, n,
                                 [this, raw] { OnActivated(raw); });
        }
        connections.push_back(std::move(c));
        if (!Serve(*connections.back(), answered)) return false;
    }
}

void Server::Impl::Flush(Connection& c) {
    std::size_t sent = 0;
    while (sent < c.out.size()) {
        const ssize_t n = ::send(c.fd.Get(), c.out.data() + sent, c.out.size() - sent,
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
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
            int rawFds[kMaxFdsPerRequest];
            for (std::size_t i = 0; i < passedFds.size(); ++i) rawFds[i] = passedFds[i].Get();
            Request request;
            wire::DecodeRequest(c.in.data(), frameLength, rawFds, passedFds.size(), request);
            c.inLength = 0;
            UniqueFd passed;
            if (frameLength == kRequestFrame && !passedFds.empty())
                passed = std::move(passedFds[0]);

            LRESULT result = 0;
            if (request.msg == kDuplicateHandleMsg) {
                // The descriptor becomes a handle of this process; the sender learns its value.
                if (passed.Valid())
                    result = static_cast<LRESULT>(afx_kernel::AdoptReceivedFd(passed.Release()));
            } else {
                passed.Reset();  // a descriptor nobody asked for
                const std::shared_ptr<bool> stillAlive = alive;
                inHandler = true;
                try {
                    result = handler(request);
                } catch (...) {
                    if (*stillAlive) inHandler = false;
                    throw;
                }
                if (!*stillAlive) return false;
                inHandler = false;
            }

            unsigned char answer[kAnswerFrame];
            PutU32(answer, kAnswerBody);
            PutU64(answer + 4, static_cast<std::uint64_t>(static_cast<std::int64_t>(result)));
            c.out.insert(c.out.end(), answer, answer + kAnswerFrame);
            ++answered;
            --budget;
            Flush(c);
            if (deferred) Resume();
            continue;
        }
        const std::size_t want = c.inLength < 4 ? 4 - c.inLength : frameLength - c.inLength;
        const ssize_t n = ReceiveWithFds(c, want);
        if (n > 0) {
            c.inLength += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else {
            c.dead = true;  // the peer left, or its socket failed
        }
    }
    UpdateNotifiers(c);
    return true;
}

void Server::Impl::UpdateNotifiers(Connection& c) {
    if (!c.readNotifier) return;
    c.readNotifier->setEnabled(!c.dead && c.out.size() < kOutputCap);
    c.writeNotifier->setEnabled(!c.dead && !c.out.empty());
}

void Server::Impl::Resume() {
    deferred = false;
    if (acceptNotifier) acceptNotifier->setEnabled(true);
    for (auto& c : connections) UpdateNotifiers(*c);
}

void Server::Impl::Sweep() {
    std::erase_if(connections, [](const std::unique_ptr<Connection>& c) { return c->dead; });
}

void Server::Impl::OnActivated(Connection* c) {
    if (inHandler) {
        // A handler runs a nested event loop (a message box, say). Requests wait for it to
        // return, so that they are answered one at a time and in order; the notifier is
        // switched off meanwhile, or it would fire again on every turn of that loop.
        if (c && c->readNotifier) {
            c->readNotifier->setEnabled(false);
            c->writeNotifier->setEnabled(false);
        } else if (!c && acceptNotifier) {
            acceptNotifier->setEnabled(false);
        }
        deferred = true;
        return;
    }
    int answered = 0;
    if (!(c ? Serve(*c, answered) : AcceptAll(answered))) return;
    Sweep();
}

void Server::Impl::AddPollFds(std::vector<pollfd>& fds) const {
    fds.push_back({listener.Get(), POLLIN, 0});
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

    const std::shared_ptr<bool> stillAlive = alive;
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

std::unique_ptr<Server> Server::Listen(const CString& className, Handler handler) {
    const std::string path = SocketPath(className);
    sockaddr_un addr{};
    if (!MakeAddress(path, addr) || !PrepareRuntimeDir(RuntimeDirPath(), true)) return nullptr;

    const UniqueFd lock = LockName(path + ".lock");
    if (!lock.Valid()) return nullptr;
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.Valid()) return nullptr;
    const auto* sa = reinterpret_cast<const sockaddr*>(&addr);
    for (int attempt = 0;; ++attempt) {
        if (::bind(fd.Get(), sa, sizeof(addr)) == 0) break;
        if (errno != EADDRINUSE || attempt == 2) return nullptr;
        switch (ProbeSocket(addr)) {
            case Probe::Live:
                return nullptr;
            case Probe::Stale:
                if (::unlink(path.c_str()) != 0 && errno != ENOENT) return nullptr;
                break;
            case Probe::Gone:
                break;
        }
    }
    return Finish(path, fd.Release(), std::move(handler));
}

std::unique_ptr<Server> Server::ListenWindow(std::uint64_t window, Handler handler) {
    const std::string path = WindowSocketPath(window);
    sockaddr_un addr{};
    if (!MakeAddress(path, addr) || !PrepareRuntimeDir(RuntimeDirPath(), true)) return nullptr;
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.Valid()) return nullptr;
    // The handle value holds this process's id, so a file of that name can only be left over
    // from a dead process that had the same id.
    ::unlink(path.c_str());
    if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) != 0)
        return nullptr;
    return Finish(path, fd.Release(), std::move(handler));
}

std::unique_ptr<Server> Server::Finish(const std::string& path, int rawFd, Handler handler) {
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

    // Without an event dispatcher on this thread a notifier would only complain; Dispatch
    // serves the requests then.
    impl->useNotifiers = QAbstractEventDispatcher::instance() != nullptr;
    if (impl->useNotifiers) {
        Impl* raw = impl.get();
        impl->acceptNotifier =
            std::make_unique<QSocketNotifier>(impl->listener.Get(), QSocketNotifier::Read);
        QObject::connect(impl->acceptNotifier.get(), &QSocketNotifier::activated,
                         impl->acceptNotifier.get(), [raw] { raw->OnActivated(nullptr); });
    }
    return std::unique_ptr<Server>(new Server(std::move(impl)));
}

// ---------------------------------------------------------------------------------------------

std::unique_ptr<Client> Client::Connect(const CString& className) {
    return ConnectPath(SocketPath(className));
}

std::unique_ptr<Client> Client::ConnectWindow(std::uint64_t window) {
    return ConnectPath(WindowSocketPath(window));
}

std::unique_ptr<Client> Client::ConnectPath(const std::string& path) {
    sockaddr_un addr{};
    if (!MakeAddress(path, addr) || !PrepareRuntimeDir(RuntimeDirPath(), false)) return nullptr;
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.Valid()) return nullptr;
    // A live server with a full backlog makes connect wait; this bounds the wait.
    timeval tv{kConnectTimeoutMs / 1000, (kConnectTimeoutMs % 1000) * 1000};
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof(tv));
    while (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) != 0) {
        if (errno != EINTR) return nullptr;
    }
    ucred cred{};
    socklen_t len = sizeof(cred);
    if (::getsockopt(fd.Get(), SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || len != sizeof(cred) ||
        cred.uid != ::geteuid())
        return nullptr;
    return std::unique_ptr<Client>(new Client(fd.Release(), cred.pid));
}

Client::~Client() {
    Close();
}

bool Client::IsAlive() {
    if (m_fd < 0) return false;
    pollfd p{m_fd, POLLIN, 0};
    if (::poll(&p, 1, 0) > 0) {
        // Nothing is ever sent unasked, so readable means the peer closed.
        char byte;
        if ((p.revents & (POLLHUP | POLLERR)) ||
            ::recv(m_fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) <= 0) {
            Close();
            return false;
        }
    }
    return true;
}

void Client::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool Client::Send(const Request& request, LRESULT& result, int timeoutMs) {
    Request plain = request;
    plain.blocks = {};
    return Transact(plain, {}, result, timeoutMs);
}

bool Client::SendFd(int fd, LRESULT& result, int timeoutMs) {
    result = 0;
    if (fd < 0) return false;
    return Transact(Request{kDuplicateHandleMsg, 0, 0, {}}, {fd}, result, timeoutMs);
}

bool Client::SendBlocks(const Request& request, LRESULT& result, int timeoutMs) {
    std::vector<int> fds;
    for (const PassedBlock& block : request.blocks)
        if (block.handle && block.fd >= 0) fds.push_back(block.fd);
    // A handle without a descriptor would take the next block's descriptor on arrival.
    Request sent = request;
    for (PassedBlock& block : sent.blocks)
        if (block.fd < 0) block.handle = 0;
    return Transact(sent, fds, result, timeoutMs);
}

namespace {
// Waits until the client socket is readable, serving the servers of this thread meanwhile.
bool WaitForAnswer(int fd, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        // A server whose handler is running (it is the one sending) waits for its turn.
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
}  // namespace

bool Client::Transact(const Request& request, const std::vector<int>& passFds, LRESULT& result,
                      int timeoutMs) {
    result = 0;
    if (m_fd < 0) return false;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);

    unsigned char frame[wire::kMaxRequestFrame];
    const std::size_t frameLength = wire::EncodeRequest(request, frame);
    std::size_t done = 0;
    while (done < frameLength) {
        ssize_t n;
        if (!passFds.empty() && done == 0) {
            // The descriptors ride on the first byte of the frame.
            iovec iov{frame, frameLength};
            alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * kMaxFdsPerRequest)] = {};
            const std::size_t count = std::min(passFds.size(), kMaxFdsPerRequest);
            msghdr msg{};
            msg.msg_iov = &iov;
            msg.msg_iovlen = 1;
            msg.msg_control = control;
            msg.msg_controllen = CMSG_SPACE(sizeof(int) * count);
            cmsghdr* cm = CMSG_FIRSTHDR(&msg);
            cm->cmsg_level = SOL_SOCKET;
            cm->cmsg_type = SCM_RIGHTS;
            cm->cmsg_len = CMSG_LEN(sizeof(int) * count);
            std::memcpy(CMSG_DATA(cm), passFds.data(), sizeof(int) * count);
            n = ::sendmsg(m_fd, &msg, MSG_NOSIGNAL | MSG_DONTWAIT);
        } else {
            n = ::send(m_fd, frame + done, frameLength - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (!(n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) ||
                   !WaitFor(m_fd, POLLOUT, deadline)) {
            Close();
            return false;
        }
    }

    unsigned char answer[kAnswerFrame];
    done = 0;
    while (done < kAnswerFrame) {
        const ssize_t n = ::recv(m_fd, answer + done, kAnswerFrame - done, MSG_DONTWAIT);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            if (done >= 4 && GetU32(answer) != kAnswerBody) break;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK) ||
                   !WaitForAnswer(m_fd, deadline)) {
            break;
        }
    }
    if (done < kAnswerFrame || GetU32(answer) != kAnswerBody) {
        Close();
        return false;
    }
    result = static_cast<LRESULT>(static_cast<std::int64_t>(GetU64(answer + 4)));
    return true;
}

}  // namespace winlink
