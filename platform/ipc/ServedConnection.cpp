#include "platform/ipc/ServedConnection.h"

#include <atomic>

namespace winlink {

namespace {
// Per thread: a worker thread that touches kernel objects is never inside a peer's request.
thread_local ConnectionId t_current = 0;
}  // namespace

ConnectionId NewConnectionId() {
    static std::atomic<ConnectionId> next{1};
    return next.fetch_add(1);
}

ConnectionId CurrentConnection() {
    return t_current;
}

ServingConnection::ServingConnection(ConnectionId id) : m_outer(t_current) {
    t_current = id;
}

ServingConnection::~ServingConnection() {
    t_current = m_outer;
}

}  // namespace winlink
