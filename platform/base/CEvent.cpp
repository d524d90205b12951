#include "platform/base/CEvent.h"

#include <chrono>

CEvent::CEvent(BOOL bInitiallyOwn, BOOL bManualReset)
    : m_bSignalled(bInitiallyOwn != FALSE), m_bManualReset(bManualReset != FALSE) {}

BOOL CEvent::SetEvent() {
    {
        std::lock_guard lock(m_mutex);
        m_bSignalled = true;
    }
    if (m_bManualReset)
        m_cond.notify_all();
    else
        m_cond.notify_one();
    return TRUE;
}

BOOL CEvent::ResetEvent() {
    std::lock_guard lock(m_mutex);
    m_bSignalled = false;
    return TRUE;
}

BOOL CEvent::Lock(DWORD dwTimeout) {
    std::unique_lock lock(m_mutex);
    const auto signalled = [this] { return m_bSignalled; };
    if (dwTimeout == INFINITE)
        m_cond.wait(lock, signalled);
    else if (!m_cond.wait_for(lock, std::chrono::milliseconds(dwTimeout), signalled))
        return FALSE;
    if (!m_bManualReset) m_bSignalled = false;
    return TRUE;
}
