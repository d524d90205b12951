// Strings from the resource string table, in the program's code page.
#pragma once

#include "platform/base/CString.h"

// The string with that id, or nullptr when the table has none. The object lives for the program.
const CString* AfxFindString(UINT nID);
// The string with that id, or an empty text.
CString AfxLoadString(UINT nID);
// String nIDS with every "%1" replaced by lpsz1.
void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1);
