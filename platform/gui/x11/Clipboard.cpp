#include "platform/gui/x11/Clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPointer>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/base/CodePage.h"
#include "platform/base/LineEnds.h"
#include "platform/base/StringResource.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/application/MessageBox.h"
#include "platform/gui/frame/CFrameWnd.h"
#include "platform/gui/window/CWnd.h"
#include "platform/gui/window/WidgetBridge.h"
#include "platform/gui/x11/X11Selection.h"

// Everything here runs on the UI thread. Qt bounds each wait for the selection's owner by its
// own clipboard timeout (a few seconds), after which the owner counts as having no text.
//
// Text another program puts on the X11 clipboard is fetched by a worker thread over an X
// connection of its own before the viewers hear of the change: a large text arrives in pieces
// and would otherwise keep the window from answering for a noticeable time. The first viewer
// to read then takes that snapshot.
//
// Inside, text ends its lines in CR LF; outside, in LF alone. Both ways are converted here.
namespace {

constexpr int kOwnerTimeoutMs = 3000;

bool g_bOpen = false;
bool g_bEmptied = false;
HWND g_hWndOpener = nullptr;  // the window that opened the clipboard
std::optional<std::string> g_pendingUtf8;
HWND g_hWndViewer = nullptr;  // head of the viewer chain
QPointer<QClipboard> g_watched;

// What this process last placed, and for which window; the owner of the change viewers hear of.
QPointer<QMimeData> g_placed;
HWND g_hWndPlacedBy = nullptr;
HWND g_hWndOwner = nullptr;

QClipboard* Clipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
               ? QGuiApplication::clipboard()
               : nullptr;
}

void NotifyViewers() {
    if (g_hWndViewer && IsWindow(g_hWndViewer)) SendMessage(g_hWndViewer, WM_DRAWCLIPBOARD);
}

// Set: the clipboard's text as it is being fetched (null: no text), until its first reader
// takes it; a later reader asks Qt. Unset: ask Qt.
struct Snapshot {
    bool hasText = false;
    std::shared_ptr<CClipboardTextStream> text;
};
std::optional<Snapshot> g_snapshot;
unsigned g_changes =
    0;  // which change a fetch belongs to; a late answer to an older one is dropped

void Fetched(unsigned change, std::shared_ptr<CClipboardTextStream> text) {
    if (change != g_changes) {
        if (text) text->Cancel();
        return;
    }
    g_snapshot = Snapshot{text != nullptr, std::move(text)};
    NotifyViewers();
}

// Queues what arrives as it comes, the owner's UTF-8 as it is, and has the viewers hear of the
// change at its first bytes, while the rest is still on its way. The conversion is its reader's.
class StreamSink : public x11sel::TextSink {
public:
    StreamSink(std::shared_ptr<CClipboardTextStream> stream, std::atomic<bool>& abandon,
               std::function<void()> announce)
        : m_stream(std::move(stream)), m_abandon(abandon), m_announce(std::move(announce)) {}
    void Expect(std::size_t bytes) override { m_stream->Expect(bytes); }
    void Take(std::string_view utf8) override {
        if (m_stream->Cancelled()) {
            m_abandon = true;  // its reader is gone
            return;
        }
        if (utf8.empty()) return;
        m_stream->Add(std::string(utf8), utf8.size());
        Announce();
    }
    // After the last piece, whatever the outcome.
    void End(x11sel::Outcome outcome) {
        m_stream->End(outcome == x11sel::Outcome::kWhole);
        if (outcome != x11sel::Outcome::kNone) Announce();
    }
    bool Announced() const { return m_announced; }

private:
    void Announce() {
        if (!std::exchange(m_announced, true)) m_announce();
    }
    std::shared_ptr<CClipboardTextStream> m_stream;
    std::atomic<bool>& m_abandon;
    std::function<void()> m_announce;
    bool m_announced = false;
};

// The one thread that fetches other programs' text, over one X connection of its own, so no
// number of changes makes more threads or connections. A change that comes while one is being
// fetched abandons that one, unless a reader is taking it already: only the newest is wanted,
// and it is fetched next. Shared with the thread, which the clipboard object's end stops and
// waits for.
struct Fetcher {
    std::mutex mutex;
    std::condition_variable wake;
    QClipboard* clipboard = nullptr;  // null once it is gone
    unsigned wanted = 0;              // the change to fetch next; 0: none
    bool quit = false;
    std::atomic<bool> abandon{false};               // the transfer under way is no longer wanted
    std::shared_ptr<CClipboardTextStream> current;  // the text being fetched
    std::thread thread;

    // On the UI thread: a new change wants the transfer under way to stop.
    void AbandonUnlessTaken() {
        if (!current || !current->Taken()) abandon = true;
    }

    void Run() {
        // One connection for the thread's life; a reading given up leaves its window behind
        // for an owner still answering it.
        x11sel::Requestor requestor;
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return quit || wanted != 0; });
            if (quit) return;
            const unsigned change = std::exchange(wanted, 0u);
            abandon = false;
            auto stream = std::make_shared<CClipboardTextStream>(CClipboardTextStream::Form::kUtf8);
            current = stream;
            lock.unlock();
            StreamSink sink(stream, abandon, [this, change, stream] { Post(change, stream); });
            const x11sel::Outcome outcome =
                requestor.ReadClipboardText(sink, abandon, kOwnerTimeoutMs);
            sink.End(abandon && !stream->Taken() ? x11sel::Outcome::kNone : outcome);
            lock.lock();
            current.reset();
            if (quit) return;
            if (!sink.Announced() && wanted == 0) Post(change, nullptr);
        }
    }
    void Post(unsigned change, std::shared_ptr<CClipboardTextStream> text) {
        const std::lock_guard lock(postMutex);
        if (!clipboard) return;
        QMetaObject::invokeMethod(
            clipboard,
            [change, text = std::move(text)]() mutable { Fetched(change, std::move(text)); },
            Qt::QueuedConnection);
    }
    std::mutex postMutex;  // guards `clipboard` against its end while a notice is posted
};
Fetcher* g_fetcher = nullptr;

// Says what went wrong where the user looks: the message log and the main window's status bar.
void Report(UINT nID) {
    const CString text = AfxLoadString(nID);
    AfxLogMessage(text);
    if (CWinApp* app = AfxGetApp())
        if (auto* frame = dynamic_cast<CFrameWnd*>(app->m_pMainWnd)) frame->SetMessageText(text);
}

// False when the fetching thread cannot be had (the user's limit of processes reached); a later
// change tries again.
bool StartFetcher(QClipboard* clipboard) {
    if (g_fetcher) return true;
    auto fetcher = std::make_unique<Fetcher>();
    fetcher->clipboard = clipboard;
    try {
        fetcher->thread = std::thread([f = fetcher.get()] { f->Run(); });
    } catch (const std::system_error&) {
        return false;
    }
    g_fetcher = fetcher.release();
    QObject::connect(clipboard, &QObject::destroyed, [] {
        Fetcher* f = std::exchange(g_fetcher, nullptr);
        {
            const std::lock_guard lock(f->mutex);
            const std::lock_guard post(f->postMutex);
            f->clipboard = nullptr;
            f->quit = true;
            f->abandon = true;
        }
        f->wake.notify_one();
        f->thread.join();
        delete f;
    });
    return true;
}

void FetchThenNotify(QClipboard* clipboard) {
    if (!StartFetcher(clipboard)) {
        // Nothing is lost: the viewers read this change through Qt, as a change inside this
        // process is read.
        Report(AFX_IDS_CLIPBOARD_NO_THREAD);
        NotifyViewers();
        return;
    }
    {
        const std::lock_guard lock(g_fetcher->mutex);
        g_fetcher->wanted = g_changes;
        g_fetcher->AbandonUnlessTaken();
    }
    g_fetcher->wake.notify_one();
}

// A window of this process for a change it made without the clipboard calls (a control that
// copied by itself): the one with the focus, else the active one, else the head viewer.
HWND SomeWindowOfOurs() {
    if (CWnd* focus = CWnd::GetFocus()) return focus->GetSafeHwnd();
    for (QWidget* w = QApplication::activeWindow(); w; w = w->parentWidget())
        if (CWnd* wnd = CWndBridge::WindowOf(w)) return wnd->GetSafeHwnd();
    return g_hWndViewer;
}

// Whose change this is, decided when it happens: another program's text may take the
// selection before the viewers get round to asking.
HWND OwnerOfChange(QClipboard* clipboard, bool x11) {
    // On X11 the selection says whether this process owns it; elsewhere the clipboard lives in
    // the process and only what the clipboard calls placed counts as ours.
    if (!clipboard || (x11 && !clipboard->ownsClipboard())) return nullptr;
    const bool placed = g_placed && clipboard->mimeData(QClipboard::Clipboard) == g_placed.data();
    const HWND placedBy = placed ? g_hWndPlacedBy : nullptr;
    return placedBy || !x11 ? placedBy : SomeWindowOfOurs();
}

void OnClipboardChanged() {
    if (++g_changes == 0) ++g_changes;  // 0 stands for no change
    g_snapshot.reset();
    QClipboard* clipboard = Clipboard();
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    g_hWndOwner = OwnerOfChange(clipboard, x11);
    if (clipboard && x11 && !clipboard->ownsClipboard())
        FetchThenNotify(clipboard);
    else
        NotifyViewers();  // our own text, or a clipboard inside this process: at hand already
}

// Queued, so that viewers hear of a change from the event loop, never from inside the call
// that made it.
void WatchClipboard() {
    QClipboard* clipboard = Clipboard();
    if (!clipboard || g_watched == clipboard) return;
    g_watched = clipboard;
    QObject::connect(clipboard, &QClipboard::dataChanged, clipboard, OnClipboardChanged,
                     Qt::QueuedConnection);
}

}  // namespace

BOOL OpenClipboard(HWND hWndNewOwner) {
    if (g_bOpen) return FALSE;
    g_bOpen = true;
    g_hWndOpener = hWndNewOwner;
    g_bEmptied = false;
    g_pendingUtf8.reset();
    return TRUE;
}

BOOL CloseClipboard() {
    if (!g_bOpen) return FALSE;
    g_bOpen = false;
    if (QClipboard* clipboard = Clipboard()) {
        if (g_pendingUtf8 || g_bEmptied) g_snapshot.reset();
        if (g_pendingUtf8) {
            auto* data = new QMimeData;
            data->setText(QString::fromStdString(*g_pendingUtf8));
            g_placed = data;
            g_hWndPlacedBy = g_hWndOpener;
            clipboard->setMimeData(data, QClipboard::Clipboard);
        } else if (g_bEmptied) {
            clipboard->clear(QClipboard::Clipboard);
        }
    }
    g_bEmptied = false;
    g_pendingUtf8.reset();
    return TRUE;
}

BOOL EmptyClipboard() {
    if (!g_bOpen) return FALSE;
    g_bEmptied = true;
    g_pendingUtf8.reset();
    return TRUE;
}

BOOL IsClipboardFormatAvailable(UINT uFormat) {
    if (uFormat != CF_TEXT) return FALSE;
    if (g_snapshot) return g_snapshot->hasText;
    QClipboard* clipboard = Clipboard();
    if (!clipboard) return FALSE;
    const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
    return data && data->hasText();
}

BOOL GetClipboardData(UINT uFormat, CString& rText) {
    const std::shared_ptr<CClipboardTextStream> text = GetClipboardDataStream(uFormat);
    if (!text) return FALSE;
    rText = CString(text->ReadAll());
    return TRUE;
}

std::shared_ptr<CClipboardTextStream> GetClipboardDataStream(UINT uFormat) {
    if (!g_bOpen || uFormat != CF_TEXT) return nullptr;
    if (g_snapshot && !g_snapshot->hasText) return nullptr;
    // The fetched text itself: a large text is neither copied nor kept twice.
    if (g_snapshot && g_snapshot->text) return std::exchange(g_snapshot->text, nullptr);
    QClipboard* clipboard = Clipboard();
    if (!clipboard) return nullptr;
    const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasText()) return nullptr;
    return std::make_shared<CClipboardTextStream>(
        Utf8ToCp932CrLf(clipboard->text(QClipboard::Clipboard).toStdString()));
}

BOOL SetClipboardData(UINT uFormat, const CString& text) {
    if (!g_bOpen || uFormat != CF_TEXT) return FALSE;
    std::string_view bytes = text.Str();
    if (const auto nul = bytes.find('\0'); nul != std::string_view::npos)
        bytes = bytes.substr(0, nul);
    g_pendingUtf8 = Cp932ToUtf8(LfFromCrLf(bytes));
    return TRUE;
}

HWND GetClipboardOwner() {
    return g_hWndOwner;
}

HWND SetClipboardViewer(HWND hWndNewViewer) {
    const HWND hWndNext = g_hWndViewer;
    g_hWndViewer = hWndNewViewer;
    WatchClipboard();
    // After the caller has stored the next viewer, so the notice travels the whole chain.
    if (hWndNewViewer) PostMessage(hWndNewViewer, WM_DRAWCLIPBOARD);
    return hWndNext;
}

BOOL ChangeClipboardChain(HWND hWndRemove, HWND hWndNewNext) {
    if (!hWndRemove) return FALSE;
    if (g_hWndViewer == hWndRemove)
        g_hWndViewer = hWndNewNext;
    else if (g_hWndViewer && IsWindow(g_hWndViewer))
        SendMessage(g_hWndViewer, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(hWndRemove),
                    reinterpret_cast<LPARAM>(hWndNewNext));
    return TRUE;
}
