#pragma once

#include <span>
#include <string_view>

namespace lexorra {

// The fixed word and name lists behind the dummy text generator. The lists are constant
// data, so "built once" costs nothing at start-up.
//   Lorem::words().size() == 249; Lorem::words()[0] == "ab"
struct Lorem {
    static std::span<const std::string_view> words();      // 249 lower-case Latin-like words
    static std::span<const std::string_view> firstNames(); // 251 first names
    static std::span<const std::string_view> lastNames();  // 249 last names
};

} // namespace lexorra
