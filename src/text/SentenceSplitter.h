#pragma once

#include <string_view>
#include <vector>

namespace lexorra::text {

// Sentences by ICU's sentence segmentation, each without the white space (and line
// breaks) that follow it; pieces that are only white space are left out.
//   sentences("One.  Two? ") == {"One.", "Two?"}
std::vector<std::string_view> sentences(std::string_view s);

} // namespace lexorra::text
