// The clipboard: the X11 CLIPBOARD selection, with text in CP932 and CR LF line ends on our side
// (UTF-8 and LF outside), and this process's chain of clipboard viewers, which hears
// WM_DRAWCLIPBOARD whenever the selection changes (our own copies included).
#pragma once

#include <memory>

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"
#include "platform/gui/x11/ClipboardTextStream.h"

// Opening gives this process the clipboard until CloseClipboard; FALSE while it is open already.
BOOL OpenClipboard(HWND hWndNewOwner);
// Places what SetClipboardData or EmptyClipboard left pending, as one change of the selection.
BOOL CloseClipboard();
BOOL EmptyClipboard();
BOOL IsClipboardFormatAvailable(UINT uFormat);
// The text on the clipboard (CF_TEXT only), its zero bytes dropped, with each lone LF made a
// CR LF. FALSE when there is none, the clipboard is not open, or the selection's owner does not
// answer in time. Another program's text cut short (its owner stopped answering midway) is
// what came of it.
BOOL GetClipboardData(UINT uFormat, CString& rText);
// The same text as it arrives: another program's large text is still being fetched when the
// viewers hear of it, and a reader can take its lines as they come rather than wait for the
// whole. Null when GetClipboardData would give FALSE.
std::shared_ptr<CClipboardTextStream> GetClipboardDataStream(UINT uFormat);
// Puts text (CF_TEXT only) on the clipboard when it is closed, with its CR LF pairs made LF; the
// clipboard must be open.
BOOL SetClipboardData(UINT uFormat, const CString& text);
// The window of this process that made the change the viewers last heard of: the one that
// opened the clipboard to place it, or, for a copy a control made by itself, the window with
// the focus. Null when another program made it (or a placement opened with no window).
HWND GetClipboardOwner();

// The head of the viewer chain becomes hWndNewViewer; returns the old head, the next viewer.
// The new viewer hears WM_DRAWCLIPBOARD once it has joined.
HWND SetClipboardViewer(HWND hWndNewViewer);
// Takes hWndRemove out of the chain: the head moves on, or the head hears WM_CHANGECBCHAIN.
BOOL ChangeClipboardChain(HWND hWndRemove, HWND hWndNewNext);
