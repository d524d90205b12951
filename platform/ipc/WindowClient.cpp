#include "platform/ipc/WindowClient.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/base/UniqueFd.h"
#include "platform/ipc/Deadline.h"
#include "platform/ipc/SocketPaths.h"
#include "platform/ipc/WindowServer.h"
#include "platform/ipc/WindowWire.h"

namespace winlink {

namespace {
constexpr int kConnectTimeoutMs = 1000;

// Sends the first piece of a frame with the descriptors riding on its first byte.
ssize_t SendWithFds(int socket, const unsigned char* frame, std::size_t length,
                    const std::vector<int>& fds) {
    iovec iov{const_cast<unsigned char*>(frame), length};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * wire::kMaxFdsPerRequest)] = {};
    const std::size_t count = std::min(fds.size(), wire::kMaxFdsPerRequest);
    msghdr msg{};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = CMSG_SPACE(sizeof(int) * count);
    cmsghdr* cm = CMSG_FIRSTHDR(&msg);
    cm->cmsg_level = SOL_SOCKET;
    cm->cmsg_type = SCM_RIGHTS;
    cm->cmsg_len = CMSG_LEN(sizeof(int) * count);
    std::memcpy(CMSG_DATA(cm), fds.data(), sizeof(int) * count);
    return ::sendmsg(socket, &msg, MSG_NOSIGNAL | MSG_DONTWAIT);
}
}  // namespace

std::unique_ptr<Client> Client::Connect(const CString& className) {
    return ConnectNamed(SocketName(className));
}

std::unique_ptr<Client> Client::ConnectWindow(std::uint64_t window) {
    return ConnectNamed(WindowSocketName(window));
}

// The server may have made its socket in any of the user's directories: the usual one, or a
// spare it took while somebody else held the usual name, and stays in after that is free.
std::unique_ptr<Client> Client::ConnectNamed(const std::string& name) {
    if (name.empty()) return nullptr;
    for (const std::string& dir : RuntimeDirsToSearch())
        if (auto client = ConnectPath(dir + "/" + name)) return client;
    return nullptr;
}

std::unique_ptr<Client> Client::ConnectPath(const std::string& path) {
    sockaddr_un addr{};
    if (!MakeAddress(path, addr)) return nullptr;
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

bool Client::Transact(const Request& request, const std::vector<int>& passFds, LRESULT& result,
                      int timeoutMs) {
    result = 0;
    if (m_fd < 0) return false;
    const auto deadline = DeadlineIn(timeoutMs);

    unsigned char frame[wire::kMaxRequestFrame];
    const std::size_t frameLength = wire::EncodeRequest(request, frame);
    std::size_t done = 0;
    while (done < frameLength) {
        const ssize_t n =
            !passFds.empty() && done == 0
                ? SendWithFds(m_fd, frame, frameLength, passFds)
                : ::send(m_fd, frame + done, frameLength - done, MSG_NOSIGNAL | MSG_DONTWAIT);
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

    unsigned char answer[wire::kAnswerFrame];
    done = 0;
    while (done < wire::kAnswerFrame) {
        const ssize_t n = ::recv(m_fd, answer + done, wire::kAnswerFrame - done, MSG_DONTWAIT);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            if (!wire::AnswerHeaderValid(answer, done)) break;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK) ||
                   !Server::WaitServing(m_fd, deadline)) {
            break;
        }
    }
    if (done < wire::kAnswerFrame || !wire::AnswerHeaderValid(answer, done)) {
        Close();
        return false;
    }
    result = wire::DecodeAnswer(answer);
    return true;
}

}  // namespace winlink
