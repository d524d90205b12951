// Message boxes. The window layer shows them on screen; tests answer them through a hook
// instead of a person.
#pragma once

#include <functional>

#include "platform/base/CString.h"

using AfxMessageBoxHook = std::function<int(const CString& text, UINT nType)>;

int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

// With VELKON_MESSAGE_LOG set, appends the text to that file, as every message box's text is:
// scripts driving the real program see what it told the user.
void AfxLogMessage(const CString& text);

// Installs the function that answers message boxes and returns the previous one; it gets the
// type as the caller gave it. Without a hook the box shows on screen when a user interface runs,
// with the framework's icon when the type names none (exclamation mark for OK and OK/Cancel,
// question mark for Yes/No and Yes/No/Cancel); otherwise nobody can answer, so the text goes to
// standard error and the safe answer is taken (Cancel, else No, else OK). The safe answer is
// also taken, at once, while the program ends on a signal (CWinApp::IsEnding).
AfxMessageBoxHook AfxSetMessageBoxHook(AfxMessageBoxHook hook);
// How many message boxes are waiting for their answer (nested ones counted).
int AfxMessageBoxesShowing();
