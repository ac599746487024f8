#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lexorra::text {

// Splits at every line feed, keeping empty pieces: "a\n\nb\n" gives {"a", "", "b", ""}.
// An empty text is one empty line.
std::vector<std::string_view> splitLines(std::string_view s);

// Converts every piece of splitLines and joins the results with line feeds. A long text is
// shared out over the machine's cores, so convert must be safe to call from several threads.
//   mapLines("a\nb", [](std::string_view l) { return std::string(l) + "!"; }) == "a!\nb!"
std::string mapLines(std::string_view input, const std::function<std::string(std::string_view)>& convert);

// Joins with the separator (a line feed unless given).
std::string join(const std::vector<std::string_view>& pieces, std::string_view separator = "\n");
std::string join(const std::vector<std::string>& pieces, std::string_view separator = "\n");

// The platform's newline set: LF, VT, FF, CR, U+0085, U+2028, U+2029.
bool isNewline(char32_t c);
// The whitespace-and-newline set: space, tab, the newline set, U+00A0, U+1680,
// U+2000..U+200A, U+202F, U+205F, U+3000.
bool isWhitespaceOrNewline(char32_t c);
// The whitespace set without newlines: space, tab, U+00A0, U+1680, U+2000..U+200A,
// U+202F, U+205F, U+3000.
bool isWhitespace(char32_t c);

// Splits at every newline-set character, each one a separator (so CR LF yields an empty piece).
std::vector<std::string_view> splitAtNewlines(std::string_view s);

// Splits at every character of the whitespace-and-newline set, dropping empty pieces.
std::vector<std::string_view> splitWords(std::string_view s);

// Drops the code points `trimmed` accepts from both ends.
std::string_view trimCodePoints(std::string_view s, bool (*trimmed)(char32_t));
// Removes whitespace and newlines from both ends.
std::string_view trimWhitespaceAndNewlines(std::string_view s);

} // namespace lexorra::text
