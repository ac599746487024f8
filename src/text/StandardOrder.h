#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace lexorra::text {

// The order a file browser gives names: the collation of the user's locale, case
// differences counting only after the letters themselves, runs of digits compared by
// their numeric value. Texts that collate equal keep their input order.
//
//   standardOrder({"a10", "a2", "B", "a1"}) == {3, 1, 0, 2}   // a1, a2, a10, B
std::vector<std::uint32_t> standardOrder(const std::vector<std::string_view>& texts);

} // namespace lexorra::text
