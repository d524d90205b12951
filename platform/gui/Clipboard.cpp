#include "platform/gui/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/base/CodePage.h"
#include "platform/gui/CWnd.h"
#include "platform/gui/QtText.h"
#include "platform/gui/X11Selection.h"

// Everything here runs on the UI thread. Qt bounds each wait for the selection's owner by its
// own clipboard timeout (a few seconds), after which the owner counts as having no text.
//
// Text another program puts on the X11 clipboard is fetched by a worker thread over an X
// connection of its own before the viewers hear of the change: a large text arrives in pieces
// and would otherwise keep the window from answering for a noticeable time. The viewers then
// read that snapshot, which stays the clipboard's text until the next change.
namespace {

constexpr int kOwnerTimeoutMs = 3000;

bool g_bOpen = false;
bool g_bEmptied = false;
std::optional<std::string> g_pendingUtf8;
HWND g_hWndViewer = nullptr;  // head of the viewer chain
QPointer<QClipboard> g_watched;

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
unsigned g_changes =
    0;  // which change a fetch belongs to; a late answer to an older one is dropped

// Shared with the fetching threads, which may outlive the clipboard object.
struct FetchShared {
    std::mutex mutex;
    QClipboard* clipboard = nullptr;  // null once it is gone
    std::atomic<bool> stop{false};
};
std::shared_ptr<FetchShared> g_fetch;

void Fetched(unsigned change, std::optional<std::string> text) {
    if (change != g_changes) return;
    g_snapshot = std::move(text);
    NotifyViewers();
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
        if (text) *text = Utf8ToCp932(*text);  // here too, not on the UI thread
        const std::lock_guard lock(shared->mutex);
        if (!shared->clipboard) return;
        QMetaObject::invokeMethod(
            shared->clipboard,
            [change, text = std::move(text)]() mutable { Fetched(change, std::move(text)); },
            Qt::QueuedConnection);
    }).detach();
}

void OnClipboardChanged() {
    ++g_changes;
    g_snapshot.reset();
    QClipboard* clipboard = Clipboard();
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
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

BOOL OpenClipboard(HWND) {
    if (g_bOpen) return FALSE;
    g_bOpen = true;
    g_bEmptied = false;
    g_pendingUtf8.reset();
    return TRUE;
}

BOOL CloseClipboard() {
    if (!g_bOpen) return FALSE;
    g_bOpen = false;
    if (QClipboard* clipboard = Clipboard()) {
        if (g_pendingUtf8 || g_bEmptied) g_snapshot.reset();
        if (g_pendingUtf8)
            clipboard->setText(QString::fromStdString(*g_pendingUtf8), QClipboard::Clipboard);
        else if (g_bEmptied)
            clipboard->clear(QClipboard::Clipboard);
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
        cp932 = **g_snapshot;
    } else {
        QClipboard* clipboard = Clipboard();
        if (!clipboard) return FALSE;
        const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
        if (!data || !data->hasText()) return FALSE;
        cp932 = FromQt(clipboard->text(QClipboard::Clipboard));
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
    g_pendingUtf8 = Cp932ToUtf8(bytes);
    return TRUE;
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
