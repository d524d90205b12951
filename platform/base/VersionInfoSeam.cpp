#include "platform/base/VersionInfoSeam.h"

#include <cstring>
#include <utility>
#include <vector>

#include "platform/base/VersionInfo.h"

namespace {

BOOL QueryString(const std::vector<char>& block, const char* name, CString& rValue) {
    LPVOID value = nullptr;
    UINT len = 0;
    const CString path = CString("\\StringFileInfo\\041104b0\\") + name;
    if (!VerQueryValue(block.data(), path, &value, &len) || !value) return FALSE;
    rValue = static_cast<const char*>(value);
    return TRUE;
}

// The version resource kept in the program file itself.
BOOL ReadFromFile(LPCTSTR lpszFileName, AFX_VERSION_INFO* pInfo) {
    DWORD dwHandle = 0;
    const DWORD dwSize = GetFileVersionInfoSize(lpszFileName, &dwHandle);
    if (dwSize == 0) return FALSE;
    std::vector<char> block(dwSize);
    if (!GetFileVersionInfo(lpszFileName, dwHandle, dwSize, block.data())) return FALSE;
    pInfo->bProductName = QueryString(block, "ProductName", pInfo->strProductName);
    pInfo->bLegalCopyright = QueryString(block, "LegalCopyright", pInfo->strLegalCopyright);
    LPVOID fixed = nullptr;
    UINT len = 0;
    if (VerQueryValue(block.data(), "\\", &fixed, &len) && fixed &&
        len >= sizeof(VS_FIXEDFILEINFO)) {
        VS_FIXEDFILEINFO info;
        std::memcpy(&info, fixed, sizeof info);
        pInfo->bFixedInfo = TRUE;
        pInfo->dwProductVersionMS = info.dwProductVersionMS;
        pInfo->dwProductVersionLS = info.dwProductVersionLS;
    }
    return TRUE;
}

AfxVersionReader& Reader() {
    static AfxVersionReader reader = ReadFromFile;
    return reader;
}

}  // namespace

BOOL AfxReadVersionInfo(LPCTSTR lpszFileName, AFX_VERSION_INFO* pInfo) {
    if (!pInfo) return FALSE;
    *pInfo = AFX_VERSION_INFO();
    const AfxVersionReader& reader = Reader();
    return reader && lpszFileName ? reader(lpszFileName, pInfo) : FALSE;
}

AfxVersionReader AfxSetVersionReader(AfxVersionReader reader) {
    AfxVersionReader previous = std::move(Reader());
    Reader() = std::move(reader);
    return previous;
}
