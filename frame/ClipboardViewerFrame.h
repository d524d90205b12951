// The frame layer that watches the clipboard and copies to it. Text another program copies is
// cut into 256-byte slices by a worker thread, which also finds the IDs in them; what each slice
// held is handed, one slice at a time and in order, to the active document's pickup on the UI
// thread, so a large text never blocks the window.
#pragma once

#include <atomic>
#include <memory>

#include "frame/TrayIconCtrlFrame.h"
#include "platform/base/CEvent.h"
#include "platform/base/WorkerThread.h"
#include "platform/gui/x11/ClipboardTextStream.h"

class CFoundIds;

// Slices are waiting for the UI thread (posted by the worker, wParam and lParam 0).
constexpr UINT WM_CLIPBOARD_CHUNK = WM_USER + 110;

class CClipboardViewerFrame : public CTrayIconCtrlFrame {
public:
    CClipboardViewerFrame();
    ~CClipboardViewerFrame() override;

    // Copies text to the clipboard. The change it makes is not picked up: the program's own
    // window owns it.
    void CopyToClipboard(const CString& strText);

    HWND m_hWndNextViewer = nullptr;
    // The change heard when the window joins the viewer chain is not picked up.
    BOOL m_bIgnoreClipboardChange;
    BOOL m_bClipboardPickup;

    // How long the UI thread goes on taking slices once one has woken it, before it lets the
    // window's other events in.
    static constexpr int kChunkBudgetMs = 4;

protected:
    // Shared by the UI thread and the one worker; see ClipboardPickupThread for the hand-over.
    // s_nProgress is the UI thread's: how far the run has come with the slice being handed to
    // the document. s_pClipText is the run's text as it arrives, which the worker reads;
    // s_nClipLength its length with the line end the run adds, an estimate until all of it has
    // come.
    static CEvent s_evStop;
    static CEvent s_evChunkDone;
    static std::shared_ptr<CClipboardTextStream> s_pClipText;
    static int s_nProgress;
    static int s_nClipLength;
    static std::atomic<BOOL> s_bPickupIdle;
    static std::unique_ptr<CWinThread> s_pPickupThread;

    static UINT ClipboardPickupThread(LPVOID pParam);
    static std::size_t ClipLength();
    // Hands the IDs found in a slice to the active document; once for every slice.
    virtual void PickupSlice(const CFoundIds& found);
    void PrefetchSlice(CFoundIds& found);
    // The run's worker; nullptr when none can be made.
    virtual CWinThread* BeginPickupWorker();
    // The text of the change heard of, as it arrives; the clipboard is open.
    virtual std::shared_ptr<CClipboardTextStream> ClipboardText();
    // The whole text at once, on this thread, when no worker can be made.
    void PickupWithoutWorker();
    // Ends the run: the slice being handed over is the last, and the worker ends.
    static void StopPickup();

private:
    struct WorkerRelease;
    static WorkerRelease s_workerRelease;
    struct HandOver;
    static HandOver s_handOver;

    DECLARE_MESSAGE_MAP()
protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnDrawClipboard();
    void OnChangeCbChain(HWND hWndRemove, HWND hWndAfter);
    LRESULT OnClipboardChunk(WPARAM wParam, LPARAM lParam);
};
