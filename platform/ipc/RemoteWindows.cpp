#include "platform/ipc/RemoteWindows.h"

#include <unistd.h>

#include <memory>
#include <unordered_map>

#include "platform/ipc/Handles.h"
#include "platform/ipc/WindowClient.h"

namespace afx_handles {

namespace {

struct Remote {
    std::unique_ptr<winlink::Client> client;
    CString className;
};

std::unordered_map<HWND, Remote>& Remotes() {
    static std::unordered_map<HWND, Remote> table;
    return table;
}

int g_remoteTimeoutMs = 5000;

// The window each process was last asked about. The receiver lets only the connection an
// object came over use it, so DuplicateHandle passes it over the connection to the window the
// handle is meant for; the callers ask for that window's process just before (its process id,
// OpenProcess, DuplicateHandle, then the message).
std::unordered_map<DWORD, HWND>& Routes() {
    static std::unordered_map<DWORD, HWND> routes;
    return routes;
}

// A handle another process gave us (a window of its own): connect to that window the first
// time it is used. Handles of this process that are not (or no longer) windows stay unknown.
Remote* Resolve(HWND h) {
    auto it = Remotes().find(h);
    // A window reached by its handle whose connection failed (it hung for a while, say) is
    // connected to again; one found by class is found anew by the next FindWindow.
    if (it != Remotes().end() && (it->second.client || !it->second.className.IsEmpty()))
        return &it->second;
    if (!h || HandleProcessId(h) == static_cast<DWORD>(::getpid())) return nullptr;
    auto client = winlink::Client::ConnectWindow(reinterpret_cast<std::uintptr_t>(h));
    if (!client) return it != Remotes().end() ? &it->second : nullptr;
    return &(Remotes()[h] = Remote{std::move(client), CString()});
}

// The window's process closes a connection that stays quiet for long; the next message makes a
// new one, to the same process only.
void Reconnect(HWND h, Remote& remote) {
    const pid_t pid = remote.client ? remote.client->PeerPid() : 0;
    remote.client.reset();
    auto client = remote.className.IsEmpty()
                      ? winlink::Client::ConnectWindow(reinterpret_cast<std::uintptr_t>(h))
                      : winlink::Client::Connect(remote.className);
    if (client && client->PeerPid() == pid) remote.client = std::move(client);
}

// The remote's connection, made anew if the peer closed it meanwhile; nullptr when gone.
winlink::Client* LiveClient(HWND h, Remote& remote) {
    if (remote.client && !remote.client->IsAlive()) Reconnect(h, remote);
    return remote.client && remote.client->IsConnected() ? remote.client.get() : nullptr;
}

}  // namespace

HWND FindRemoteByClass(const CString& className) {
    // A window that is looked for again and again (a poll) keeps its one connection and handle;
    // handles whose peer went away are dropped.
    for (auto it = Remotes().begin(); it != Remotes().end();) {
        if (!it->second.client || !it->second.client->IsAlive()) {
            it = Remotes().erase(it);
        } else if (it->second.className == className) {
            return it->first;
        } else {
            ++it;
        }
    }
    auto client = winlink::Client::Connect(className);
    if (!client) return nullptr;
    const HWND h = NewHandle();
    Remotes()[h] = Remote{std::move(client), className};
    return h;
}

bool SendRemote(HWND h, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return SendRemoteRequest(h, winlink::Request{message, wParam, lParam, {}}, result);
}

bool SendRemoteRequest(HWND h, const winlink::Request& request, LRESULT& result) {
    result = 0;
    Remote* remote = Resolve(h);
    winlink::Client* client = remote ? LiveClient(h, *remote) : nullptr;
    if (!client) return false;
    if (client->SendBlocks(request, result, g_remoteTimeoutMs)) return true;
    // The peer is gone or hangs: the handle is dead from now on.
    remote->client.reset();
    result = 0;
    return false;
}

bool IsRemote(HWND h) {
    Remote* remote = Resolve(h);
    return remote && remote->client && remote->client->IsAlive();
}

DWORD RemoteProcessId(HWND h) {
    Remote* remote = Resolve(h);
    const DWORD pid = remote && remote->client ? static_cast<DWORD>(remote->client->PeerPid()) : 0;
    if (pid) Routes()[pid] = h;
    return pid;
}

bool SendFdToProcess(DWORD pid, int fd, std::uintptr_t& handle) {
    handle = 0;
    const auto send = [&](HWND h, Remote& remote) {
        winlink::Client* client = LiveClient(h, remote);
        if (!client) return false;
        LRESULT result = 0;
        if (!client->SendFd(fd, result, g_remoteTimeoutMs)) {
            remote.client.reset();
            return false;
        }
        handle = static_cast<std::uintptr_t>(result);
        return true;
    };
    const auto owns = [pid](const Remote& remote) {
        return remote.client && static_cast<DWORD>(remote.client->PeerPid()) == pid;
    };
    if (auto route = Routes().find(pid); route != Routes().end()) {
        auto it = Remotes().find(route->second);
        if (it != Remotes().end() && owns(it->second)) return send(it->first, it->second);
    }
    for (auto& [h, remote] : Remotes())
        if (owns(remote) && LiveClient(h, remote)) return send(h, remote);
    return false;
}

void SetRemoteTimeout(int milliseconds) {
    g_remoteTimeoutMs = milliseconds;
}

int RemoteTimeout() {
    return g_remoteTimeoutMs;
}

}  // namespace afx_handles
