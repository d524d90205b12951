// Waiting on sockets with a deadline.
#pragma once

#include <poll.h>

#include <cerrno>
#include <chrono>

namespace winlink {

using Clock = std::chrono::steady_clock;

inline Clock::time_point DeadlineIn(int milliseconds) {
    return Clock::now() + std::chrono::milliseconds(milliseconds < 0 ? 0 : milliseconds);
}

inline int MillisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// True when the socket may be used for `events` (or has failed, which the next call reports).
inline bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, MillisecondsLeft(deadline));
        if (r > 0) return true;
        if (r == 0 || errno != EINTR) return false;
    }
}

}  // namespace winlink
