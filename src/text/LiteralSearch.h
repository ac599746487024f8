#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lexorra::text {

// Replaces every occurrence of find by replacement, scanning from the start, occurrences
// not overlapping. Canonically equivalent sequences compare equal ("é" precomposed
// matches "e" + U+0301); with caseInsensitive the comparison uses full Unicode case
// folding ("STRASSE" matches "straße"). A match never splits a base character from its
// combining marks.
//
//   replaceLiteral("Cat cat CAT", "cat", "dog", true) == "dog dog dog"
std::string replaceLiteral(std::string_view input, std::string_view find, std::string_view replacement,
                           bool caseInsensitive);

// Replaces every occurrence of from, compared byte for byte (no normalisation, no case
// folding), scanning from the start without overlaps. An empty from leaves the text as is.
//   replaceExact("a\\nb", "\\n", "\n") == "a\nb"
std::string replaceExact(std::string_view text, std::string_view from, std::string_view to);

// Byte ranges of the same matches, for actions that need positions rather than a replacement.
struct LiteralMatch {
    size_t begin;
    size_t end;
};
std::vector<LiteralMatch> findLiteral(std::string_view input, std::string_view find, bool caseInsensitive);

namespace detail {
// The exact rule findLiteral's faster paths must agree with: search over the comparison keys of
// canonical segments. Public for the test that compares the two.
std::vector<LiteralMatch> findCanonical(std::string_view input, std::string_view find, bool caseInsensitive);
} // namespace detail

} // namespace lexorra::text
