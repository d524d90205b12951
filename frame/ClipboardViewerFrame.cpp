#include "frame/ClipboardViewerFrame.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <string>
#include <string_view>

#include "database/PickupScanner.h"
#include "document/VelkonDoc.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/x11/Clipboard.h"
#include "platform/ipc/Handles.h"
#include "platform/ipc/Kernel.h"
#include "res/resource.h"

namespace {
constexpr const char* kSection = "Pickup Option";
constexpr const char* kClipboard = "Clipboard";
constexpr std::size_t kSliceBytes = 256;
// The worker cuts at most this many slices ahead of the UI thread (256 KB).
constexpr std::size_t kSlicesAhead = 1024;
// The UI thread asks for the records of the IDs this many slices ahead of the one it takes.
constexpr std::size_t kPrefetchAhead = 2;

using Clock = std::chrono::steady_clock;
}  // namespace

CEvent CClipboardViewerFrame::s_evStop(FALSE, FALSE);
CEvent CClipboardViewerFrame::s_evChunkDone(FALSE, FALSE);
std::shared_ptr<CClipboardTextStream> CClipboardViewerFrame::s_pClipText;
int CClipboardViewerFrame::s_nProgress = 0;
int CClipboardViewerFrame::s_nClipLength = 0;
std::atomic<BOOL> CClipboardViewerFrame::s_bPickupIdle{TRUE};
std::unique_ptr<CWinThread> CClipboardViewerFrame::s_pPickupThread;

// The slices of a run on their way from the worker to the UI thread: a ring the worker fills
// and the UI thread empties, each in its own order, with no turn-taking for each slice. A slice
// is the IDs the worker found in up to kSliceBytes of the text, with the handle of each. cut and
// taken count the slices of the run; posted is set while a WM_CLIPBOARD_CHUNK is on its way.
struct CClipboardViewerFrame::HandOver {
    struct Slice {
        CFoundIds found;
        std::size_t bytes = 0;  // of the text
    };
    std::array<Slice, kSlicesAhead> slices;
    std::atomic<std::size_t> cut{0};
    std::atomic<std::size_t> taken{0};
    std::atomic<bool> posted{false};
    std::atomic<bool> stopped{false};  // set with s_evStop, for the UI thread to see too
    std::size_t takenBytes = 0;        // the UI thread's: bytes of the slices taken so far
};
CClipboardViewerFrame::HandOver CClipboardViewerFrame::s_handOver;

// Should the process end with a worker still waiting for the UI thread (the window never
// destroyed), it is let go before the thread object waits for it. Defined after the state it
// touches, so it goes first.
struct CClipboardViewerFrame::WorkerRelease {
    ~WorkerRelease() {
        StopPickup();
        s_pPickupThread.reset();
    }
};
CClipboardViewerFrame::WorkerRelease CClipboardViewerFrame::s_workerRelease;

BEGIN_MESSAGE_MAP(CClipboardViewerFrame, CTrayIconCtrlFrame)
ON_WM_DESTROY()
ON_WM_DRAWCLIPBOARD()
ON_WM_CHANGECBCHAIN()
ON_MESSAGE(WM_CLIPBOARD_CHUNK, OnClipboardChunk)
END_MESSAGE_MAP()

// The change the system reports when the window joins the viewer chain is consumed, so text
// already on the clipboard at start-up is not picked up.
CClipboardViewerFrame::CClipboardViewerFrame()
    : m_bIgnoreClipboardChange(TRUE),
      m_bClipboardPickup(static_cast<BOOL>(AfxGetApp()->GetProfileInt(kSection, kClipboard, 1))) {}

CClipboardViewerFrame::~CClipboardViewerFrame() {
    AfxGetApp()->WriteProfileInt(kSection, kClipboard, m_bClipboardPickup);
}

int CClipboardViewerFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CTrayIconCtrlFrame::OnCreate(lpCreateStruct) == -1) return -1;
    m_hWndNextViewer = ::SetClipboardViewer(m_hWnd);
    return 0;
}

// A worker waiting for the UI thread is let go and waited for here, before the window it posts
// to and the document it feeds are gone.
void CClipboardViewerFrame::OnDestroy() {
    StopPickup();
    s_pPickupThread.reset();
    ::ChangeClipboardChain(m_hWnd, m_hWndNextViewer);
    CTrayIconCtrlFrame::OnDestroy();
}

void CClipboardViewerFrame::StopPickup() {
    // A worker waiting for more of the text is let go, and the fetch gives up.
    if (s_pClipText) s_pClipText->Cancel();
    s_handOver.stopped = true;
    s_evStop.SetEvent();
    s_evChunkDone.SetEvent();
}

void CClipboardViewerFrame::OnChangeCbChain(HWND hWndRemove, HWND hWndAfter) {
    if (hWndRemove == m_hWndNextViewer)
        m_hWndNextViewer = hWndAfter;
    else if (m_hWndNextViewer)
        ::SendMessage(m_hWndNextViewer, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(hWndRemove),
                      reinterpret_cast<LPARAM>(hWndAfter));
}

// A change that arrives while a run is under way is lost, not queued: the run in progress
// keeps the status bar and the document to itself. The program's own copies are never picked
// up, whichever of its windows or controls made them.
void CClipboardViewerFrame::OnDrawClipboard() {
    if (m_hWndNextViewer) ::SendMessage(m_hWndNextViewer, WM_DRAWCLIPBOARD);
    if (m_bIgnoreClipboardChange) {
        m_bIgnoreClipboardChange = FALSE;
        return;
    }
    const HWND hWndOwner = ::GetClipboardOwner();
    if (hWndOwner && afx_handles::HandleProcessId(hWndOwner) == ::GetCurrentProcessId()) return;
    if (!m_bClipboardPickup || !s_bPickupIdle || !::IsClipboardFormatAvailable(CF_TEXT) ||
        !::OpenClipboard(m_hWnd))
        return;
    // The text as it arrives: the worker hands its lines over while the rest is on its way.
    if (std::shared_ptr<CClipboardTextStream> text = ClipboardText()) {
        s_pPickupThread.reset();  // the last worker has finished its run; let it end
        s_pClipText = std::move(text);
        s_nClipLength = static_cast<int>(ClipLength());
        s_nProgress = 0;
        s_bPickupIdle = FALSE;
        s_evStop.ResetEvent();
        // A release left over from the end of an earlier window must not count for this run.
        s_evChunkDone.ResetEvent();
        s_handOver.cut = 0;
        s_handOver.taken = 0;
        s_handOver.posted = false;
        s_handOver.stopped = false;
        s_handOver.takenBytes = 0;
        s_pPickupThread.reset(BeginPickupWorker());
        if (!s_pPickupThread) PickupWithoutWorker();
    }
    ::CloseClipboard();
}

std::shared_ptr<CClipboardTextStream> CClipboardViewerFrame::ClipboardText() {
    return ::GetClipboardDataStream(CF_TEXT);
}

CWinThread* CClipboardViewerFrame::BeginPickupWorker() {
    return AfxBeginThread(ClipboardPickupThread, m_hWnd);
}

// No worker can be had (the user's limit of processes reached): the IDs still count, so the
// whole text is picked up here, the window waiting for it this once, and the user is told why.
void CClipboardViewerFrame::PickupWithoutWorker() {
    const CString strWhy = AfxLoadString(AFX_IDS_CLIPBOARD_NO_THREAD);
    AfxLogMessage(strWhy);
    {
        CString strText(s_pClipText->ReadAll());
        strText += "\r\n";
        if (auto* pDoc = dynamic_cast<CVelkonDoc*>(GetActiveDocument())) {
            pDoc->BeginPickupBurst();
            pDoc->PickupText(strText);
            pDoc->EndPickupBurst();
        }
    }
    s_bPickupIdle = TRUE;
    SetMessageText(strWhy);
}

// The text's length with the line end a run adds, as far as it is known yet.
std::size_t CClipboardViewerFrame::ClipLength() {
    return (s_pClipText ? s_pClipText->EstimatedLength() : 0) + 2;
}

// The worker reads the text as it arrives, cuts it into slices in order, scans each for IDs as
// the document would (a line cut by a slice is scanned once its end has come) and puts what it
// found in the ring, up to kSlicesAhead ahead of the UI thread, posting WM_CLIPBOARD_CHUNK when
// none is on its way. It waits on s_evChunkDone whenever the ring is full, and at the end until
// the UI thread has taken the last slice: the run ends then, or when a stop is seen. The UI
// thread only registers the IDs: the scan, most of a pickup's work, runs beside it.
UINT CClipboardViewerFrame::ClipboardPickupThread(LPVOID pParam) {
    const HWND hWnd = static_cast<HWND>(pParam);
    HandOver& h = s_handOver;
    const std::shared_ptr<CClipboardTextStream> text = s_pClipText;
    const auto announce = [&] {
        return h.posted.exchange(true) || ::PostMessage(hWnd, WM_CLIPBOARD_CHUNK);
    };
    bool windowThere = !s_evStop.Lock(0);
    // Another program's UTF-8 is scanned as it came; the IDs' handles alone are converted.
    const bool utf8 = text->IsUtf8();
    bool zeroPending = false;
    std::string line;        // the text after the last line end scanned
    std::size_t filled = 0;  // bytes of text in the slice being filled, slice number h.cut
    const auto handOver = [&] {
        h.slices[h.cut % kSlicesAhead].bytes = filled;
        h.cut = h.cut + 1;
        filled = 0;
        windowThere = announce();
    };
    // Slices are filled in their place in the ring, once the UI thread has let it go.
    const auto cut = [&](std::string_view bytes) {
        while (!bytes.empty() && windowThere) {
            HandOver::Slice& slice = h.slices[h.cut % kSlicesAhead];
            if (filled == 0) {
                while (h.cut - h.taken >= kSlicesAhead && !h.stopped) s_evChunkDone.Lock();
                if (h.stopped) return false;
                slice.found.Clear();
            }
            const std::size_t n = std::min(bytes.size(), kSliceBytes - filled);
            if (utf8) {
                const std::size_t before = line.size();
                pickup_scan::AppendUtf8Piece(line, bytes.substr(0, n), zeroPending);
                line.erase(0, pickup_scan::ScanUtf8Text(line, line.size() - before,
                                                        CVelkonDoc::kMaxWaitingText, slice.found));
            } else {
                line.append(bytes.data(), n);
                line.erase(
                    0, pickup_scan::ScanText(line, n, CVelkonDoc::kMaxWaitingText, slice.found));
            }
            filled += n;
            bytes.remove_prefix(n);
            if (filled == kSliceBytes) handOver();
        }
        return windowThere;
    };
    std::string piece;
    bool going = windowThere;
    while (going) {
        // What has come is not held back in a part-filled slice while more is awaited.
        if (filled > 0 && !text->Ready()) handOver();
        if (!windowThere || !text->ReadRaw(piece)) break;
        going = cut(piece);
    }
    // The last line ends here, whether the text ended its own or not.
    if (going && !text->Cancelled() && cut("\r\n") && filled > 0) handOver();
    // Every slice is in the ring: the text's memory goes back now, not at the next copy.
    std::string().swap(piece);
    std::string().swap(line);
    while (windowThere && h.taken < h.cut && !h.stopped) s_evChunkDone.Lock();
    s_bPickupIdle = TRUE;
    return 0;
}

void CClipboardViewerFrame::PrefetchSlice(CFoundIds& found) {
    if (auto* pDoc = dynamic_cast<CVelkonDoc*>(GetActiveDocument())) pDoc->PrefetchFound(found);
}

void CClipboardViewerFrame::PickupSlice(const CFoundIds& found) {
    if (auto* pDoc = dynamic_cast<CVelkonDoc*>(GetActiveDocument())) pDoc->PickupFound(found);
}

// One wake-up takes the slices that are ready, each on its own and in order, for as long as its
// budget lasts, and leaves the rest for the next (the window's other events come in between);
// the status bar shows the progress of the last.
LRESULT CClipboardViewerFrame::OnClipboardChunk(WPARAM, LPARAM) {
    HandOver& h = s_handOver;
    h.posted = false;  // a slice cut from now on brings a message of its own
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kChunkBudgetMs);
    // Until the text has arrived whole, its length is an estimate and the run not at its end;
    // the slice that brings its end may come in this very wake-up.
    bool ended = !s_pClipText || s_pClipText->Ended();
    s_nClipLength = static_cast<int>(ClipLength());
    double total = static_cast<double>(s_nClipLength);
    int nProgress = -1;
    // Nobody sees the list between two picks of one wake-up: its views show them once, at the
    // end, rather than moving the selection for each.
    CVelkonDoc* pBurstDoc = dynamic_cast<CVelkonDoc*>(GetActiveDocument());
    if (pBurstDoc) pBurstDoc->BeginPickupBurst();
    std::size_t taken = 0;  // in this wake-up
    while (h.taken < h.cut && !h.stopped) {
        const std::size_t k = h.taken;
        if (!ended && s_pClipText->Ended()) {
            ended = true;
            s_nClipLength = static_cast<int>(ClipLength());
            total = static_cast<double>(s_nClipLength);
        }
        HandOver::Slice& slice = h.slices[k % kSlicesAhead];
        h.takenBytes += slice.bytes;
        s_nProgress = static_cast<int>(static_cast<double>(h.takenBytes) / total * 100);
        if (!ended) s_nProgress = std::min(s_nProgress, 99);
        // What the document will look up for a slice a little ahead is asked for now.
        if (h.cut - k > kPrefetchAhead)
            PrefetchSlice(h.slices[(k + kPrefetchAhead) % kSlicesAhead].found);
        PickupSlice(slice.found);
        // A slice that ended a long line may have held thousands of IDs: not kept for long.
        slice.found.Trim();
        nProgress = s_nProgress;
        h.taken = k + 1;
        // Room for the worker in good time, not a wake-up for each slice.
        if (h.cut - h.taken == kSlicesAhead / 2) s_evChunkDone.SetEvent();
        // The clock is read after every slice at first, then every sixteenth: a slice takes a
        // microsecond or two, the clock a good part of one.
        ++taken;
        if ((taken < 16 || taken % 16 == 0) && Clock::now() >= deadline) break;
    }
    if (pBurstDoc) pBurstDoc->EndPickupBurst();
    if (h.taken < h.cut && !h.stopped && !h.posted.exchange(true)) PostMessage(WM_CLIPBOARD_CHUNK);
    s_evChunkDone.SetEvent();  // room in the ring, or the end of the run
    if (nProgress < 0) return 0;
    if (nProgress < 100) {
        CString strProgress;
        strProgress.Format(AfxLoadString(IDS_CLIPBOARD_PROGRESS), nProgress);
        SetMessageText(strProgress);
    } else if (s_pClipText && !s_pClipText->Whole() && !s_pClipText->Cancelled()) {
        // The IDs of what came are in; the user hears that the text was not all there.
        const CString strWhy = AfxLoadString(AFX_IDS_CLIPBOARD_CUT);
        if (GetMessageText() != strWhy) AfxLogMessage(strWhy);
        SetMessageText(strWhy);
    } else {
        SetMessageText(AFX_IDS_IDLEMESSAGE);
    }
    return 0;
}

void CClipboardViewerFrame::CopyToClipboard(const CString& strText) {
    if (!::OpenClipboard(m_hWnd)) return;
    if (::EmptyClipboard()) ::SetClipboardData(CF_TEXT, strText);
    ::CloseClipboard();
}
