// The wire under windows that other processes find by class name and send messages to. A window
// class listens on a Unix domain socket named after it in a private per-user directory; a sent
// message is one framed request (message, wParam, lParam) answered by one LRESULT.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/Afx.h"
#include "platform/CString.h"

namespace winlink {

struct Request {
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

using Handler = std::function<LRESULT(const Request&)>;

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
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Waits up to timeoutMs for peers, serves whatever is ready and returns the number of
    // requests answered. Does nothing when called from inside the handler. The handler may
    // destroy the server; Dispatch then returns at once without touching it.
    int Dispatch(int timeoutMs = 0);
    const std::string& Path() const;

private:
    struct Impl;
    explicit Server(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m;
};

// A connection to the window of a class in another (or the same) process. One thread at a time.
class Client {
public:
    // nullptr if nobody serves the class (also when a dead process left its socket behind).
    static std::unique_ptr<Client> Connect(const CString& className);
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Sends one request and waits at most timeoutMs for its answer. False (and result 0) on
    // timeout, a vanished peer or a garbled answer; the connection is then closed, because a
    // late answer would be taken for the next request's, and every later Send fails too.
    bool Send(const Request& request, LRESULT& result, int timeoutMs = 5000);
    bool IsConnected() const { return m_fd >= 0; }
    // Connected, and the peer has not hung up (checked without waiting); a dead peer's
    // connection is closed.
    bool IsAlive();

private:
    explicit Client(int fd) : m_fd(fd) {}
    void Close();
    int m_fd;
};

}  // namespace winlink
