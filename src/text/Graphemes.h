#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lexorra::text {

// User-perceived characters (extended grapheme clusters) as views into the text.
//   graphemes("e\u0301a") == {"e\u0301", "a"}
std::vector<std::string_view> graphemes(std::string_view s);

// Number of grapheme clusters.
size_t graphemeCount(std::string_view s);

// More than `limit` clusters, decided from the start of the text: a 10 MB input is not read
// to the end at every keystroke to learn that it is longer than 32,999 characters.
//   moreGraphemesThan("e\u0301a", 1) == true
bool moreGraphemesThan(std::string_view s, size_t limit);

// Byte offsets of every grapheme boundary, 0 and s.size() included.
std::vector<size_t> graphemeBoundaries(std::string_view s);

} // namespace lexorra::text
