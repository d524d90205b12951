// Big buffers that are filled once, front to back (a file read whole, its records, their
// index): the kernel is asked to back them with huge pages where it can, one page fault per
// 2 MiB instead of one per 4 KiB. Where a fault is dear (in a virtual machine it can cost more
// than the few hundred bytes of parsing the page holds) this halves the time to load a big file.
// Only whole huge pages inside the buffer are asked for, so the memory taken stays what the
// buffer takes; a kernel without them, or one that says no, leaves the buffer as it was.
#pragma once

#include <cstddef>

namespace huge_pages {

// Buffers below this are left alone: they would gain a page or two at most.
constexpr std::size_t kWorthAsking = std::size_t(4) << 20;

void Advise(const void* p, std::size_t bytes);

// The room a vector or string has reserved, filled or not.
template <class Buffer>
void AdviseCapacity(const Buffer& buffer) {
    Advise(buffer.data(), buffer.capacity() * sizeof(*buffer.data()));
}

}  // namespace huge_pages
