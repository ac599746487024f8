#include "text/LargeBuffer.h"

#include <sys/mman.h>

#include <cstdint>

namespace lexorra::text {

void reserveLarge(std::string& buffer, size_t bytes) {
    buffer.reserve(bytes);
    constexpr size_t hugePage = size_t{2} << 20;
    if (bytes < 2 * hugePage) return;
    // Only whole huge pages inside the allocation can be advised; the edges stay small pages.
    const auto begin = reinterpret_cast<std::uintptr_t>(buffer.data());
    const std::uintptr_t first = (begin + hugePage - 1) & ~(hugePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(hugePage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

} // namespace lexorra::text
