// What one process asks of a window of another: a message with its two parameters, and the
// global memory blocks of a 16-bit client that travel with it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "platform/base/Afx.h"

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

// A descriptor another process passed (kDuplicateHandleMsg) becomes an object of this process:
// the handler takes it in every case and returns the handle value it got, or 0 when it refused it.
using ReceivedFdHandler = std::function<std::uintptr_t(int fd)>;

// A request with this message number carries a file descriptor (SCM_RIGHTS); the server answers
// it itself with what its ReceivedFdHandler made of the descriptor, without calling the Handler.
constexpr UINT kDuplicateHandleMsg = 0xFFFF0001u;

}  // namespace winlink
