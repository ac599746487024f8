// The command line lives for one transformation of a possibly large text: every buffer it
// fills is fresh memory, and on a virtual machine each first touch of a 4 KB page costs
// several microseconds. Large allocations are therefore asked to be backed by huge pages,
// which turns the thousands of faults of a 10 MB text into a handful. Deallocation is the
// standard one: these blocks come from malloc like any other.
//
// Sanitizer builds keep their own allocator, which checks new/delete pairing.

#include <sys/mman.h>

#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define LEXORRA_KEEP_DEFAULT_NEW 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define LEXORRA_KEEP_DEFAULT_NEW 1
#endif
#endif

#ifndef LEXORRA_KEEP_DEFAULT_NEW

namespace {

constexpr std::size_t hugePage = std::size_t{2} << 20;

// Aligned to and rounded up to whole huge pages, so no edge of the block falls back to
// small pages; the rounding is address space only until it is touched.
void* allocateLarge(std::size_t size) {
    const std::size_t rounded = (size + hugePage - 1) & ~(hugePage - 1);
    void* block = std::aligned_alloc(hugePage, rounded);
    if (block) madvise(block, rounded, MADV_HUGEPAGE);
    return block;
}

} // namespace

void* operator new(std::size_t size) {
    if (size == 0) size = 1;
    for (;;) {
        if (void* block = size >= 2 * hugePage ? allocateLarge(size) : std::malloc(size)) return block;
        std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

void* operator new[](std::size_t size) { return ::operator new(size); }

#endif
