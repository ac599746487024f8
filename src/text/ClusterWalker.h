#pragma once

#include <unicode/uversion.h>

#include <memory>
#include <string_view>
#include <vector>

struct UText;

U_NAMESPACE_BEGIN
class BreakIterator;
U_NAMESPACE_END

namespace lexorra::text {

// Grapheme-cluster boundaries of many short texts (lines, words) with one ICU break
// iterator, instead of opening an iterator per text as graphemeBoundaries() does.
// Not thread-safe: make one per transform.
//
//   ClusterWalker walker;
//   for (auto line : lines) total += walker.count(line);
class ClusterWalker {
public:
    ClusterWalker();
    ~ClusterWalker();
    ClusterWalker(const ClusterWalker&) = delete;
    ClusterWalker& operator=(const ClusterWalker&) = delete;

    // Byte offsets of every boundary, 0 and s.size() included ({0} for an empty text).
    // The vector is reused by the next call.
    const std::vector<size_t>& boundaries(std::string_view s);
    // Number of clusters.
    size_t count(std::string_view s);
    // Byte offset after the first n clusters (s.size() when there are fewer).
    size_t prefixBytes(std::string_view s, size_t n);

private:
    bool attach(std::string_view s);

    std::unique_ptr<icu::BreakIterator> m_iterator;
    UText* m_text = nullptr;
    std::vector<size_t> m_bounds;
};

} // namespace lexorra::text
