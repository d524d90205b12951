// The version information of a program file, as far as the About box shows it: the product
// name and the legal copyright of the Japanese string block "041104b0", and the product version
// of the fixed file information. Each piece may be missing.
#pragma once

#include <functional>

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

struct AFX_VERSION_INFO {
    BOOL bProductName = FALSE;
    CString strProductName;
    BOOL bFixedInfo = FALSE;
    DWORD dwProductVersionMS = 0;
    DWORD dwProductVersionLS = 0;
    BOOL bLegalCopyright = FALSE;
    CString strLegalCopyright;
};

// FALSE when the file has no version information at all; otherwise the pieces it has.
BOOL AfxReadVersionInfo(LPCTSTR lpszFileName, AFX_VERSION_INFO* pInfo);

// Where AfxReadVersionInfo gets its answer: the file's own version resource unless a test put
// another reader in its place; without a reader every file has none. Returns the reader it
// replaces.
using AfxVersionReader = std::function<BOOL(LPCTSTR lpszFileName, AFX_VERSION_INFO* pInfo)>;
AfxVersionReader AfxSetVersionReader(AfxVersionReader reader);
