// The file dialogs of the file commands.
#pragma once

#include "platform/base/CString.h"

// Asks for a file to open (bOpen) or to save as. filter is "Name (*.ext)", defaultExt ".ext"
// (added when the user types a name without one). FALSE when the user cancels or no user
// interface is running.
BOOL AfxPromptFileName(CString& rPath, BOOL bOpen, const CString& initial, const CString& filter,
                       const CString& defaultExt);
