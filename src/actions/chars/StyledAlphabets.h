#pragma once

#include <array>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lexorra::styled {

inline constexpr size_t alphabetSize = 68;
using Alphabet = std::array<char32_t, alphabetSize>;

// "1234567890", a..z, A..Z, then "?!&,_.": the characters the styles replace.
const Alphabet& plainAlphabet();
// The twelve styled alphabets (circled, filled circles, squares, filled squares, sans-serif bold,
// sans-serif italic, sans-serif bold italic, serif bold, serif italic, serif bold italic,
// monospace, small capitals), position for position with the plain one.
const std::vector<Alphabet>& styledAlphabets();
const Alphabet& upsideDownAlphabet();

// The effect of replacing, in order, every occurrence of from[i] by to[i] for each position:
// a later pass also rewrites what an earlier one wrote, so the passes compose into one map.
std::unordered_map<char32_t, char32_t> composePasses(const std::vector<std::pair<char32_t, char32_t>>& passes);

} // namespace lexorra::styled
