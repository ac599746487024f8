#pragma once

#include <string>
#include <string_view>

namespace lexorra::text {

// Full Unicode case mappings without a locale ("ß" upper-cases to "SS").
std::string upper(std::string_view s);
std::string lower(std::string_view s);
// Full Unicode case folding, for case-insensitive comparison.
std::string foldCase(std::string_view s);
// ASCII-only lowering, for identifiers and option names.
std::string asciiLower(std::string_view s);

} // namespace lexorra::text
