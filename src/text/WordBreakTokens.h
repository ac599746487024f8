#pragma once

#include <string_view>
#include <vector>

namespace lexorra::text {

// Splits a text into word-break tokens: words, numbers (with their inner "." and ","),
// runs of spaces and single punctuation marks each come out as their own token, so
// joining the tokens gives back the text.
//   wordBreakTokens("I have 3.5 apples!") == {"I", " ", "have", " ", "3.5", " ", "apples", "!"}
std::vector<std::string_view> wordBreakTokens(std::string_view utf8);

} // namespace lexorra::text
