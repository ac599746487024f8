#pragma once

#include <string_view>

namespace lexorra {

// Debug lines with no level and no behaviour attached. They go to standard error so that
// a command-line result on standard output stays exactly the result; LEXORRA_QUIET=1
// silences them.
void diagnostic(std::string_view line);

} // namespace lexorra
