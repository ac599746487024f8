#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lexorra::text {

// Percent-encodes every byte outside what a URL query may hold unescaped: ASCII letters
// and digits, "-._~", the sub-delimiters "!$&'()*+,;=", and ":@/?". Hex digits are upper case.
//   percentEncodeQuery("a b&c") == "a%20b&c"; percentEncodeQuery("é") == "%C3%A9"
std::string percentEncodeQuery(std::string_view utf8);

// Replaces each "%" and two hex digits by that byte; "+" stays a plus sign. nullopt when a
// "%" is not followed by two hex digits or the bytes are not UTF-8.
//   percentDecodeStrict("a%20b") == "a b"; percentDecodeStrict("100%") == std::nullopt
std::optional<std::string> percentDecodeStrict(std::string_view text);

} // namespace lexorra::text
