#include "platform/base/WorkerThread.h"

#include <system_error>

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int, UINT, DWORD) {
    try {
        return new CWinThread(std::thread([pfnThreadProc, pParam] { pfnThreadProc(pParam); }));
    } catch (const std::system_error&) {
        return nullptr;
    }
}
