#include "platform/VersionInfoSeam.h"

#include <utility>

namespace {
AfxVersionReader& Reader() {
    static AfxVersionReader reader;
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
