// Worker threads in the framework's shape. The thread object is the caller's: deleting it waits
// for the thread to end, so nothing the thread uses can go away under it.
#pragma once

#include <thread>

#include "platform/base/WinTypes.h"

using LPVOID = void*;
using AFX_THREADPROC = UINT (*)(LPVOID pParam);

constexpr int THREAD_PRIORITY_NORMAL = 0;

class CWinThread {
public:
    explicit CWinThread(std::thread thread) : m_thread(std::move(thread)) {}
    ~CWinThread() { Join(); }
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Waits until the thread function has returned.
    void Join() {
        if (m_thread.joinable()) m_thread.join();
    }

private:
    std::thread m_thread;
};

// Starts pfnThreadProc(pParam) at once. Priority, stack size and flags are accepted for the
// shape of the call; every worker runs at normal priority with the default stack.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0);
