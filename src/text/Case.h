#pragma once

#include "text/CaseMapping.h"

#include <string>
#include <string_view>

namespace lexorra::text {

// Full Unicode case folding, for case-insensitive comparison.
std::string foldCase(std::string_view s);
// ASCII-only lowering, for identifiers and option names.
std::string asciiLower(std::string_view s);

} // namespace lexorra::text
