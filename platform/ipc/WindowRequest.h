// What one process asks of a window of another: a message with its two parameters, and the
// global memory blocks of a 16-bit client that travel with it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "platform/base/Afx.h"
#include "platform/ipc/ServedConnection.h"

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

// Answers one request on the thread that serves the window.
using Handler = std::function<LRESULT(const Request&)>;

// Descriptors another process passes (kDuplicateHandleMsg) become objects of this process that
// belong to the connection they came over: `adopt` takes one in every case and returns the
// handle value it got, or 0 when it refused it; `release` closes such an object again (nothing
// when the program has closed it already). The server runs each request of a connection as
// that connection (ServingConnection), owns what it adopted for it, and releases it when the
// request that names it ends, when the connection closes, or when it goes unused for a while.
struct PassedObjects {
    std::function<std::uintptr_t(int fd, ConnectionId owner)> adopt;
    std::function<void(std::uintptr_t handle, ConnectionId owner)> release;
};

// A request with this message number carries a file descriptor (SCM_RIGHTS); the server answers
// it itself with what its PassedObjects made of the descriptor, without calling the Handler.
constexpr UINT kDuplicateHandleMsg = 0xFFFF0001u;

}  // namespace winlink
