// Events for handing work between threads: signalled or not, and a wait that lets one waiter
// through. Auto-reset events drop back to not signalled when a wait succeeds.
#pragma once

#include <condition_variable>
#include <mutex>

#include "platform/base/WinTypes.h"

constexpr DWORD INFINITE = 0xFFFFFFFF;

class CEvent {
public:
    explicit CEvent(BOOL bInitiallyOwn = FALSE, BOOL bManualReset = FALSE);
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    BOOL SetEvent();
    BOOL ResetEvent();
    // TRUE when the event was signalled within dwTimeout milliseconds (0: only look).
    BOOL Lock(DWORD dwTimeout = INFINITE);

private:
    std::mutex m_mutex;
    std::condition_variable m_cond;
    bool m_bSignalled;
    const bool m_bManualReset;
};
