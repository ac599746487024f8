#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lexorra::text {

// Standard Base64 (RFC 4648 alphabet, "=" padding) on one line, no line breaks.
//   base64EncodeStd("abc") == "YWJj"
std::string base64EncodeStd(std::string_view bytes);

// Strict decoding: the length must be a multiple of four, "=" may only pad the last
// group, and any other character (white space and line breaks included) fails.
//   base64DecodeStrict("YWJj") == "abc"; base64DecodeStrict("YWJj\n") == std::nullopt
std::optional<std::string> base64DecodeStrict(std::string_view text);

} // namespace lexorra::text
