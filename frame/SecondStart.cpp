#include "frame/SecondStart.h"

#include <algorithm>
#include <cstring>

CString HandedOverPath(const char* pView, std::size_t viewSize) {
    if (!pView) return CString();
    const std::size_t limit = std::min(viewSize, kMaxHandedOverPath);
    const void* zero = std::memchr(pView, 0, limit);
    if (!zero) return CString();
    const std::string_view path(pView,
                                static_cast<std::size_t>(static_cast<const char*>(zero) - pView));
    // The receiver's working folder means nothing to the sender: a relative name is refused.
    if (path.empty() || path.front() != '/') return CString();
    return CString(path);
}
