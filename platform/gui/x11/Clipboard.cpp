#include "platform/gui/x11/Clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPointer>
#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/base/CodePage.h"
#include "platform/base/LineEnds.h"
#include "platform/gui/window/CWnd.h"
#include "platform/gui/window/QtText.h"
#include "platform/gui/window/WidgetBridge.h"
#include "platform/gui/x11/X11Selection.h"

// Everything here runs on the UI thread. Qt bounds each wait for the selection's owner by its
// own clipboard timeout (a few seconds), after which the owner counts as having no text.
//
// Text another program puts on the X11 clipboard is fetched by a worker thread over an X
// connection of its own before the viewers hear of the change: a large text arrives in pieces
// and would otherwise keep the window from answering for a noticeable time. The viewers then
// read that snapshot, which stays the clipboard's text until the next change.
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

// Set: the clipboard's text as fetched, in CP932 (nothing inside: no text). Unset: ask Qt.
std::optional<std::optional<std::string>> g_snapshot;
// The text as the first reader gets it (up to its zero byte, with room for a line end), made
// beside the snapshot by the fetching thread: a large text is not copied on the UI thread.
std::optional<std::string> g_firstRead;
unsigned g_changes =
    0;  // which change a fetch belongs to; a late answer to an older one is dropped

// Shared with the fetching threads, which may outlive the clipboard object.
struct FetchShared {
    std::mutex mutex;
    QClipboard* clipboard = nullptr;  // null once it is gone
    std::atomic<bool> stop{false};
};
std::shared_ptr<FetchShared> g_fetch;

void Fetched(unsigned change, std::optional<std::string> text,
             std::optional<std::string> firstRead) {
    if (change != g_changes) return;
    g_snapshot = std::move(text);
    g_firstRead = std::move(firstRead);
    NotifyViewers();
}

// The text up to its first zero byte, with room for the line end a reader may add.
std::string AsRead(const std::string& text) {
    std::string out;
    const std::size_t length = std::min(text.find('\0'), text.size());
    out.reserve(length + 2);
    out.append(text, 0, length);
    return out;
}

void FetchThenNotify(QClipboard* clipboard) {
    if (!g_fetch) {
        g_fetch = std::make_shared<FetchShared>();
        g_fetch->clipboard = clipboard;
        QObject::connect(clipboard, &QObject::destroyed, [shared = g_fetch] {
            const std::lock_guard lock(shared->mutex);
            shared->clipboard = nullptr;
            shared->stop = true;
        });
    }
    const unsigned change = g_changes;
    std::thread([shared = g_fetch, change] {
        std::optional<std::string> text = x11sel::ReadClipboardText(shared->stop, kOwnerTimeoutMs);
        // Here too, not on the UI thread.
        std::optional<std::string> firstRead;
        if (text) {
            *text = CrLfFromLf(Utf8ToCp932(*text));
            firstRead = AsRead(*text);
        }
        const std::lock_guard lock(shared->mutex);
        if (!shared->clipboard) return;
        QMetaObject::invokeMethod(
            shared->clipboard,
            [change, text = std::move(text), firstRead = std::move(firstRead)]() mutable {
                Fetched(change, std::move(text), std::move(firstRead));
            },
            Qt::QueuedConnection);
    }).detach();
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
    ++g_changes;
    g_snapshot.reset();
    g_firstRead.reset();
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
        if (g_pendingUtf8 || g_bEmptied) {
            g_snapshot.reset();
            g_firstRead.reset();
        }
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
    if (g_snapshot) return g_snapshot->has_value();
    QClipboard* clipboard = Clipboard();
    if (!clipboard) return FALSE;
    const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
    return data && data->hasText();
}

BOOL GetClipboardData(UINT uFormat, CString& rText) {
    if (!g_bOpen || uFormat != CF_TEXT) return FALSE;
    std::string cp932;
    if (g_snapshot) {
        if (!*g_snapshot) return FALSE;
        if (g_firstRead) {
            cp932 = std::move(*g_firstRead);
            g_firstRead.reset();
        } else {
            cp932 = AsRead(**g_snapshot);
        }
    } else {
        QClipboard* clipboard = Clipboard();
        if (!clipboard) return FALSE;
        const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
        if (!data || !data->hasText()) return FALSE;
        cp932 = CrLfFromLf(FromQt(clipboard->text(QClipboard::Clipboard)));
    }
    if (const auto nul = cp932.find('\0'); nul != std::string::npos) cp932.resize(nul);
    rText = CString(std::move(cp932));
    return TRUE;
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
