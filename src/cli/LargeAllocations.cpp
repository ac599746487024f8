// The command line lives for one transformation of a possibly large text: every buffer it
// fills is fresh memory, and on a virtual machine each first touch of a 4 KB page costs
// several microseconds. Large allocations are therefore asked to be backed by huge pages,
// which turns the thousands of faults of a 10 MB text into a handful.
//
// Sanitizer builds keep their own allocator, which checks new/delete pairing.

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <mutex>
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

// Large blocks are mapped from the system and go back to it when deleted, as the allocator's
// own large blocks would: taken from the reserved heap below, every freed one would stay, and
// a run's peak would be all the large blocks it ever used. They are aligned to and rounded up
// to whole huge pages, so no edge of a block falls back to small pages; the rounding is address
// space only until it is touched. The few live ones are listed, so that deleting a pointer that
// happens to be aligned the same way tells them from the allocator's.
class LargeBlocks {
public:
    void* allocate(std::size_t size) {
        const std::size_t rounded = (size + hugePage - 1) & ~(hugePage - 1);
        void* mapping = mmap(nullptr, rounded + hugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapping == MAP_FAILED) return nullptr;
        const auto start = reinterpret_cast<std::uintptr_t>(mapping);
        const std::uintptr_t block = (start + hugePage - 1) & ~(hugePage - 1);
        if (block > start) munmap(mapping, block - start);
        if (const std::size_t tail = start + hugePage - block) munmap(reinterpret_cast<void*>(block + rounded), tail);
        madvise(reinterpret_cast<void*>(block), rounded, MADV_HUGEPAGE);
        {
            const std::lock_guard lock(m_mutex);
            for (auto& entry : m_live)
                if (!entry.block) {
                    entry = {block, rounded};
                    return reinterpret_cast<void*>(block);
                }
        }
        // More live large blocks than listed: rare enough for the allocator to take the rest.
        munmap(reinterpret_cast<void*>(block), rounded);
        return std::aligned_alloc(hugePage, rounded);
    }

    // False when the block is not one of these.
    bool release(void* pointer) {
        const auto block = reinterpret_cast<std::uintptr_t>(pointer);
        if (block & (hugePage - 1)) return false;
        std::size_t size = 0;
        {
            const std::lock_guard lock(m_mutex);
            for (auto& entry : m_live)
                if (entry.block == block) {
                    size = entry.size;
                    entry = {};
                    break;
                }
        }
        if (!size) return false;
        munmap(pointer, size);
        return true;
    }

private:
    struct Entry {
        std::uintptr_t block = 0;
        std::size_t size = 0;
    };
    std::mutex m_mutex;
    std::array<Entry, 256> m_live{};
};

constinit LargeBlocks largeBlocks;

// The small blocks of a large transformation (a parsed document is millions of them) come from
// the heap, which grows a few pages at a time, each page faulted in on first touch: a fifth of
// the run for a large document. The heap is therefore grown once, at start, by address space
// enough for a large text, advised to be backed by huge pages; it costs memory only where it is
// touched, and is not given back before the process ends.
//
// A freed small block is merged with its free neighbours at once, not set aside unmerged (the
// allocator's "fast bins"): set-aside blocks are merged in one sweep when a large block is freed,
// which after a document's tree is freed is a second pass over the whole tree, cold.
//
// The threshold for taking a block straight from the system only matters once the reserve is
// used up. It is fixed, where the allocator would move it: after a large block goes back to
// the system it would take the next ones of that size from the heap.
void reserveHeap() {
    constexpr std::size_t wantedReserve = std::size_t{1} << 30;
    constexpr std::size_t mmapThreshold = std::size_t{4} << 20;
    constexpr int usualTopPad = 128 << 10;
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return;
    // A small machine, or one that counts address space as committed, gets a smaller reserve.
    const std::size_t reserve =
        std::min(wantedReserve, static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize) / 8);
    mallopt(M_MXFAST, 0);
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(mmapThreshold));
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
    // A block just larger than what is left at the top of the heap makes the allocator grow the
    // heap by the block and the pad, and it writes nothing past the old break but the header of
    // what remains. A page touched before the advice would keep its whole huge page on small
    // pages: the advised range starts above that header.
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    mallopt(M_TOP_PAD, static_cast<int>(reserve));
    void* probe = std::malloc(mallinfo2().keepcost);
    mallopt(M_TOP_PAD, usualTopPad);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // Only what the heap was just grown by is advised: had the system refused, the allocator
    // took its block elsewhere and the break did not move.
    if (probe && after - before >= reserve) {
        const std::uintptr_t begin = (before + hugePage) & ~(hugePage - 1);
        const std::uintptr_t end = after & ~(hugePage - 1);
        if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
    std::free(probe);
}

[[maybe_unused]] const bool heapReserved = (reserveHeap(), true);

} // namespace

void* operator new(std::size_t size) {
    if (size == 0) size = 1;
    for (;;) {
        if (void* block = size >= 2 * hugePage ? largeBlocks.allocate(size) : std::malloc(size)) return block;
        std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

void* operator new[](std::size_t size) { return ::operator new(size); }

void operator delete(void* pointer) noexcept {
    if (!largeBlocks.release(pointer)) std::free(pointer);
}

void operator delete[](void* pointer) noexcept { ::operator delete(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { ::operator delete(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { ::operator delete(pointer); }

#endif
