// A connection to the window of a class, or of a handle, in another (or the same) process.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/base/CString.h"
#include "platform/ipc/WindowRequest.h"

namespace winlink {

// One thread at a time.
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
    static std::unique_ptr<Client> ConnectNamed(const std::string& name);
    static std::unique_ptr<Client> ConnectPath(const std::string& path);
    bool Transact(const Request& request, const std::vector<int>& fds, LRESULT& result,
                  int timeoutMs);
    void Close();
    int m_fd;
    pid_t m_pid;
};

}  // namespace winlink
