#pragma once

#include <cstddef>
#include <string>

namespace lexorra::text {

// Reserves room for a large text and asks the kernel to back it with huge pages, so
// filling ten megabytes costs a handful of page faults instead of thousands. Small sizes
// only reserve. The string must be empty; its size stays 0.
//   std::string out; reserveLarge(out, n); out.resize(n); ... fill ...
void reserveLarge(std::string& buffer, size_t bytes);

} // namespace lexorra::text
