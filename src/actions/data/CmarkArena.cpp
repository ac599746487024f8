#include "actions/data/CmarkArena.h"

#include <cmark-gfm.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <sys/mman.h>

namespace lexorra {

namespace {

thread_local CmarkArena* current = nullptr;

// Every piece is preceded by its size, for growing it; pieces start 16-byte aligned.
constexpr std::size_t header = 16;
constexpr std::size_t smallPage = 4096;
constexpr std::size_t hugePage = std::size_t(2) << 20;
constexpr std::size_t smallestSlab = std::size_t(64) << 10;
constexpr std::size_t largestSlab = std::size_t(32) << 20;

std::size_t rounded(std::size_t size) {
    return (size + 15) & ~std::size_t(15);
}

} // namespace

CmarkArena::CmarkArena(std::size_t inputSize)
    : m_nextSlab(std::clamp(inputSize * 16, smallestSlab, largestSlab)), m_previous(current) {
    current = this;
}

CmarkArena::~CmarkArena() {
    current = m_previous;
    for (const auto& [slab, size] : m_slabs)
        munmap(slab, size);
}

cmark_mem* CmarkArena::allocator() {
    static cmark_mem mem = {zeroed, resized, release};
    return &mem;
}

// Like cmark-gfm's own allocator, running out of memory ends the process: the library has no
// way to report it.
void* CmarkArena::zeroed(std::size_t count, std::size_t size) {
    if (!current || (size != 0 && count > SIZE_MAX / 2 / size)) std::abort();
    return current->allocate(count * size);
}

void* CmarkArena::resized(void* block, std::size_t size) {
    if (!current || size > SIZE_MAX / 2) std::abort();
    return block ? current->resize(block, size) : current->allocate(size);
}

// Slabs come zeroed and no byte is handed out twice, so every piece is zeroed.
void* CmarkArena::allocate(std::size_t size) {
    const std::size_t needed = header + rounded(size);
    if (static_cast<std::size_t>(m_end - m_cursor) < needed) {
        // Fresh mappings read as zeros. Large documents need about fifteen times their size:
        // huge pages take a page fault per 2 MB instead of per 4 kB. A small document would
        // only pay for zeroing a huge page it hardly uses.
        const std::size_t wanted = std::max(needed, m_nextSlab);
        const bool huge = wanted >= hugePage;
        const std::size_t unit = huge ? hugePage : smallPage;
        const std::size_t slabSize = (wanted + unit - 1) & ~(unit - 1);
        m_nextSlab = std::min(m_nextSlab * 2, largestSlab);
        m_slabs.reserve(m_slabs.size() + 1);
        void* mapped = mmap(nullptr, slabSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) std::abort();
        if (huge) madvise(mapped, slabSize, MADV_HUGEPAGE);
        auto* slab = static_cast<char*>(mapped);
        m_slabs.emplace_back(slab, slabSize);
        m_cursor = slab;
        m_end = slab + slabSize;
    }
    std::memcpy(m_cursor, &size, sizeof size);
    void* piece = m_cursor + header;
    m_cursor += needed;
    return piece;
}

// The buffers cmark-gfm grows are often the piece handed out last: that one grows in place.
void* CmarkArena::resize(void* block, std::size_t size) {
    auto* piece = static_cast<char*>(block);
    std::size_t old = 0;
    std::memcpy(&old, piece - header, sizeof old);
    if (size <= old) return block;
    if (piece + rounded(old) == m_cursor && static_cast<std::size_t>(m_end - piece) >= rounded(size)) {
        m_cursor = piece + rounded(size);
        std::memcpy(piece - header, &size, sizeof size);
        return block;
    }
    void* moved = allocate(size);
    std::memcpy(moved, block, old);
    return moved;
}

} // namespace lexorra
