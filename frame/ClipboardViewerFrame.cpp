#include "frame/ClipboardViewerFrame.h"

#include "database/VelkonDoc.h"
#include "platform/base/StringResource.h"
#include "platform/gui/CWinApp.h"
#include "platform/gui/Clipboard.h"
#include "res/resource.h"

namespace {
constexpr const char* kSection = "Pickup Option";
constexpr const char* kClipboard = "Clipboard";
constexpr int kSliceBytes = 256;
}  // namespace

CEvent CClipboardViewerFrame::s_evStop(FALSE, FALSE);
CEvent CClipboardViewerFrame::s_evChunkDone(FALSE, FALSE);
CString CClipboardViewerFrame::s_strClipText;
CString CClipboardViewerFrame::s_strPending;
int CClipboardViewerFrame::s_nProgress = 0;
std::atomic<BOOL> CClipboardViewerFrame::s_bPickupIdle{TRUE};
std::unique_ptr<CWinThread> CClipboardViewerFrame::s_pPickupThread;

// Should the process end with a worker still waiting for an acknowledgement (the window never
// destroyed), it is let go before the thread object waits for it. Defined after the state it
// touches, so it goes first.
struct CClipboardViewerFrame::WorkerRelease {
    ~WorkerRelease() {
        s_evStop.SetEvent();
        s_evChunkDone.SetEvent();
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

// A worker waiting for its acknowledgement is let go and waited for here, before the window
// it posts to and the document it feeds are gone.
void CClipboardViewerFrame::OnDestroy() {
    s_evStop.SetEvent();
    s_evChunkDone.SetEvent();
    s_pPickupThread.reset();
    ::ChangeClipboardChain(m_hWnd, m_hWndNextViewer);
    CTrayIconCtrlFrame::OnDestroy();
}

void CClipboardViewerFrame::OnChangeCbChain(HWND hWndRemove, HWND hWndAfter) {
    if (hWndRemove == m_hWndNextViewer)
        m_hWndNextViewer = hWndAfter;
    else if (m_hWndNextViewer)
        ::SendMessage(m_hWndNextViewer, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(hWndRemove),
                      reinterpret_cast<LPARAM>(hWndAfter));
}

// A change that arrives while a run is under way is lost, not queued: the run in progress
// keeps the status bar and the document to itself.
void CClipboardViewerFrame::OnDrawClipboard() {
    if (m_hWndNextViewer) ::SendMessage(m_hWndNextViewer, WM_DRAWCLIPBOARD);
    if (m_bIgnoreClipboardChange) {
        m_bIgnoreClipboardChange = FALSE;
        return;
    }
    if (!m_bClipboardPickup || !s_bPickupIdle || !::IsClipboardFormatAvailable(CF_TEXT) ||
        !::OpenClipboard(m_hWnd))
        return;
    CString strText;
    if (::GetClipboardData(CF_TEXT, strText)) {
        s_pPickupThread.reset();  // the last worker has finished its run; let it end
        s_strClipText = strText + "\r\n";
        s_bPickupIdle = FALSE;
        s_evStop.ResetEvent();
        // A release left over from the end of an earlier window must not count for this run.
        s_evChunkDone.ResetEvent();
        s_pPickupThread.reset(AfxBeginThread(ClipboardPickupThread, m_hWnd));
        if (!s_pPickupThread) s_bPickupIdle = TRUE;
    }
    ::CloseClipboard();
}

// The worker and the UI thread take turns: the worker fills s_strPending and s_nProgress, posts
// one WM_CLIPBOARD_CHUNK and touches neither until the UI thread has set s_evChunkDone. Slices
// may end inside a double-byte character; the document only cuts lines at CR LF, so the pieces
// are whole again before a line is scanned.
UINT CClipboardViewerFrame::ClipboardPickupThread(LPVOID pParam) {
    const HWND hWnd = static_cast<HWND>(pParam);
    s_nProgress = 0;
    s_strPending.Empty();
    const std::string& text = s_strClipText.Str();
    const double total = static_cast<double>(text.size());
    if (!s_evStop.Lock(0)) {
        for (size_t pos = 0;; pos += kSliceBytes) {
            if (pos < text.size())
                s_strPending += CString(std::string_view(text).substr(pos, kSliceBytes));
            if (s_strPending.IsEmpty()) break;
            // The pending length counts the tail the document left, so this can pass 100.
            s_nProgress =
                static_cast<int>(static_cast<double>(pos + s_strPending.GetLength()) / total * 100);
            if (!::PostMessage(hWnd, WM_CLIPBOARD_CHUNK)) break;
            s_evChunkDone.Lock();
            if (s_evStop.Lock(0)) break;
        }
    }
    s_bPickupIdle = TRUE;
    return 0;
}

LRESULT CClipboardViewerFrame::OnClipboardChunk(WPARAM, LPARAM) {
    if (auto* pDoc = dynamic_cast<CVelkonDoc*>(GetActiveDocument()))
        pDoc->PickupText(s_strPending);
    else
        s_strPending.Empty();  // nobody to consume it: the run would never end
    if (s_nProgress < 100) {
        CString strProgress;
        strProgress.Format(AfxLoadString(IDS_CLIPBOARD_PROGRESS), s_nProgress);
        SetMessageText(strProgress);
    } else {
        SetMessageText(AFX_IDS_IDLEMESSAGE);
    }
    s_evChunkDone.SetEvent();
    return 0;
}

void CClipboardViewerFrame::CopyToClipboard(const CString& strText) {
    if (!::OpenClipboard(m_hWnd)) return;
    if (::EmptyClipboard()) {
        m_bIgnoreClipboardChange = TRUE;
        ::SetClipboardData(CF_TEXT, strText);
    }
    ::CloseClipboard();
}
