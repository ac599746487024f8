#pragma once

#include "text/GraphemeCursor.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lexorra::text {

// Case-sensitive tests of one fixed text against many others (every line, every word),
// where canonically equivalent sequences are equal: "é" precomposed equals "e" + U+0301.
// The fixed text is analysed once; ASCII comparisons never reach ICU.
//
//   CanonicalMatcher check("ab");
//   check.isContainedIn("xaby") == true;
//   check.isPrefixOf("abc") == true;
class CanonicalMatcher {
public:
    explicit CanonicalMatcher(std::string_view needle);
    ~CanonicalMatcher();
    CanonicalMatcher(const CanonicalMatcher&) = delete;
    CanonicalMatcher& operator=(const CanonicalMatcher&) = delete;

    // The needle occurs in the text, never splitting a base character from its marks.
    // An empty needle is contained in nothing.
    bool isContainedIn(std::string_view text) const;
    // The text's first user-perceived characters are, one by one, canonically equivalent to
    // the needle's. An empty needle is a prefix of every text, the empty one included.
    bool isPrefixOf(std::string_view text);

private:
    bool isPrefixSlow(std::string_view text);

    struct Cluster;
    std::string m_needle;
    bool m_ascii;
    std::vector<Cluster> m_clusters; // the needle's clusters, built on first slow comparison
    bool m_clustersBuilt = false;
    int m_leadingStarter = -2;      // first starter of the needle's decomposition; -1 none, -2 not yet known
    bool m_lastMayJoinNext = false; // the needle's last character can share a cluster with what follows
    GraphemeCursor m_cursor;
};

} // namespace lexorra::text
