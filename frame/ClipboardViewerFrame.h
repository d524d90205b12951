// The frame layer that watches the clipboard and copies to it. Text another program copies is
// cut into 256-byte slices by a worker thread and handed, one slice at a time, to the active
// document's pickup on the UI thread, so a large text never blocks the window.
#pragma once

#include <atomic>
#include <memory>

#include "frame/TrayIconCtrlFrame.h"
#include "platform/base/CEvent.h"
#include "platform/base/WorkerThread.h"

// One slice is ready in s_strPending (posted by the worker, wParam and lParam 0).
constexpr UINT WM_CLIPBOARD_CHUNK = WM_USER + 110;

class CClipboardViewerFrame : public CTrayIconCtrlFrame {
public:
    CClipboardViewerFrame();
    ~CClipboardViewerFrame() override;

    // Copies text so that the change it makes is not picked up again.
    void CopyToClipboard(const CString& strText);

    HWND m_hWndNextViewer = nullptr;
    BOOL m_bIgnoreClipboardChange;
    BOOL m_bClipboardPickup;

protected:
    // Shared by the UI thread and the one worker; see ClipboardPickupThread for the hand-over.
    static CEvent s_evStop;
    static CEvent s_evChunkDone;
    static CString s_strClipText;
    static CString s_strPending;
    static int s_nProgress;
    static std::atomic<BOOL> s_bPickupIdle;
    static std::unique_ptr<CWinThread> s_pPickupThread;

    static UINT ClipboardPickupThread(LPVOID pParam);

private:
    struct WorkerRelease;
    static WorkerRelease s_workerRelease;

    DECLARE_MESSAGE_MAP()
protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnDrawClipboard();
    void OnChangeCbChain(HWND hWndRemove, HWND hWndAfter);
    LRESULT OnClipboardChunk(WPARAM wParam, LPARAM lParam);
};
