#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// How many tokens the service may spend on its answer, estimated without a tokenizer so that
// prompt and answer stay within a 3800-token allowance.
namespace lexorra::openai {

// Words as the word-by-word enumeration of the text services counts them (no spaces or
// punctuation).
std::size_t countWords(std::string_view text);

// The dominant language's name in the current locale, lower-cased; empty when none is found.
std::string dominantLanguageDisplayName(std::string_view text);

// words = words of inputPart + prompt; base = (bytes - chars) / 2 + bytes / 4 of inputPart;
// 3800 - (words / 0.75 + base), or 3800 - base when inputPart reads as English; 150 when the
// allowance is used up.
std::int64_t estimateMaxTokens(std::string_view inputPart, std::string_view prompt);

} // namespace lexorra::openai
