#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <optional>

#include "platform/CWnd.h"
#include "platform/CodePage.h"

// Everything here runs on the UI thread. Qt bounds each wait for the selection's owner by its
// own clipboard timeout (a few seconds), after which the owner counts as having no text.
namespace {

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

// Queued, so that viewers hear of a change from the event loop, never from inside the call
// that made it.
void WatchClipboard() {
    QClipboard* clipboard = Clipboard();
    if (!clipboard || g_watched == clipboard) return;
    g_watched = clipboard;
    QObject::connect(clipboard, &QClipboard::dataChanged, clipboard, NotifyViewers,
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
    QClipboard* clipboard = Clipboard();
    if (!clipboard) return FALSE;
    const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
    return data && data->hasText();
}

BOOL GetClipboardData(UINT uFormat, CString& rText) {
    if (!g_bOpen || uFormat != CF_TEXT) return FALSE;
    QClipboard* clipboard = Clipboard();
    if (!clipboard) return FALSE;
    const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasText()) return FALSE;
    const std::string utf8 = clipboard->text(QClipboard::Clipboard).toStdString();
    std::string cp932 = Utf8ToCp932(utf8);
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
