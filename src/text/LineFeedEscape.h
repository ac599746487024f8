#pragma once

#include <string>
#include <string_view>

namespace lexorra::text {

// Every two-character sequence backslash, n becomes a line feed; nothing else changes, so
// a doubled backslash is not an escape of its own: "a\\\\nb" gives a, backslash, LF, b.
//
//   expandBackslashN("x\\ny") == "x\ny"
std::string expandBackslashN(std::string_view text);

} // namespace lexorra::text
