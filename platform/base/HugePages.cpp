#include "platform/base/HugePages.h"

#include <sys/mman.h>

#include <cstdint>

namespace huge_pages {

void Advise(const void* p, std::size_t bytes) {
    if (!p || bytes < kWorthAsking) return;
    constexpr std::uintptr_t kHuge = std::uintptr_t(2) << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kHuge - 1);
    if (first >= last) return;
    // Advice only: a kernel built without transparent huge pages says EINVAL, and the buffer
    // works as before.
    (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

}  // namespace huge_pages
