#pragma once

#include <string>
#include <string_view>

namespace lexorra {

// A character-level layout pass over compact JSON: every member and element on its own line,
// `indent` once per nesting level, `afterColon` between a key and its value, empty containers
// kept as "{}" and "[]". Strings are copied as they stand; whitespace outside them is dropped.
//
//   SwiftJSONFormatter::format(R"([{"a":1}])", "  ", "\n", " ") == "[\n  {\n    \"a\": 1\n  }\n]"
struct SwiftJSONFormatter {
    static std::string format(std::string_view json, std::string_view indent, std::string_view lineBreak,
                              std::string_view afterColon);
};

} // namespace lexorra
