// The clipboard: the X11 CLIPBOARD selection, with text in CP932 on our side, and this
// process's chain of clipboard viewers, which hears WM_DRAWCLIPBOARD whenever the selection
// changes (our own copies included).
#pragma once

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

// Opening gives this process the clipboard until CloseClipboard; FALSE while it is open already.
BOOL OpenClipboard(HWND hWndNewOwner);
// Places what SetClipboardData or EmptyClipboard left pending, as one change of the selection.
BOOL CloseClipboard();
BOOL EmptyClipboard();
BOOL IsClipboardFormatAvailable(UINT uFormat);
// The text on the clipboard (CF_TEXT only), up to its first zero byte. FALSE when there is none,
// the clipboard is not open, or the selection's owner does not answer in time.
BOOL GetClipboardData(UINT uFormat, CString& rText);
// Puts text (CF_TEXT only) on the clipboard when it is closed; the clipboard must be open.
BOOL SetClipboardData(UINT uFormat, const CString& text);

// The head of the viewer chain becomes hWndNewViewer; returns the old head, the next viewer.
// The new viewer hears WM_DRAWCLIPBOARD once it has joined.
HWND SetClipboardViewer(HWND hWndNewViewer);
// Takes hWndRemove out of the chain: the head moves on, or the head hears WM_CHANGECBCHAIN.
BOOL ChangeClipboardChain(HWND hWndRemove, HWND hWndNewNext);
