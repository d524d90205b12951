// Which peer connection the calling thread is serving a request of. Kernel objects a peer
// passes belong to the connection they came over, and only that connection's requests may use
// them; the server says whose request runs, and the kernel table asks.
#pragma once

#include <cstdint>

namespace winlink {

// Unique for the life of the process, never reused. 0: no peer, the process's own work.
using ConnectionId = std::uint64_t;

ConnectionId NewConnectionId();
// The connection whose request this thread serves now; 0 outside every request.
ConnectionId CurrentConnection();

// Marks the thread as serving a request of `id` while it lives. Scopes nest: a handler that
// waits on another process serves other connections' requests meanwhile, and gets its own back.
class ServingConnection {
public:
    explicit ServingConnection(ConnectionId id);
    ~ServingConnection();
    ServingConnection(const ServingConnection&) = delete;
    ServingConnection& operator=(const ServingConnection&) = delete;

private:
    ConnectionId m_outer;
};

}  // namespace winlink
