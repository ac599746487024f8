#pragma once

#include <cstddef>
#include <utility>
#include <vector>

struct cmark_mem;

namespace lexorra {

// Memory for one Markdown conversion on the calling thread. cmark-gfm allocates a node or a
// buffer for every piece of a document; handing each to malloc and back to free took about a
// fifth of a conversion. The arena hands out pieces of large zeroed slabs, freeing one piece does
// nothing, and everything goes back at once when the arena goes. A parser made with allocator()
// and its documents must not outlive the arena; arenas on one thread nest and the newest serves.
//
//   CmarkArena arena(markdown.size());
//   cmark_parser* parser = cmark_parser_new_with_mem(options, CmarkArena::allocator());
//   ... parse, render: no cmark_parser_free or cmark_node_free needed
class CmarkArena {
public:
    // The size of the Markdown to parse, for the size of the first slab.
    explicit CmarkArena(std::size_t inputSize);
    ~CmarkArena();
    CmarkArena(const CmarkArena&) = delete;
    CmarkArena& operator=(const CmarkArena&) = delete;

    static cmark_mem* allocator();

private:
    std::vector<std::pair<char*, std::size_t>> m_slabs;
    char* m_cursor = nullptr;
    char* m_end = nullptr;
    std::size_t m_nextSlab;
    CmarkArena* m_previous;

    static void* zeroed(std::size_t count, std::size_t size);
    static void* resized(void* block, std::size_t size);
    static void release(void*) {}

    void* allocate(std::size_t size);
    void* resize(void* block, std::size_t size);
};

} // namespace lexorra
