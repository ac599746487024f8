#pragma once

#include "core/Value.h"

#include <optional>
#include <string>

namespace lexorra::data {

// Writes a value tree as one YAML document: block collections, indent 2, line width 80,
// non-ASCII escaped in double-quoted scalars, LF line breaks, no "---"/"..." markers and no
// version directive. Maps keep their stored order. Strings that would read back as another
// type (true, 1, null, the empty text, 2024-01-02...) are quoted; integers, doubles and
// booleans are plain. The text ends with a line break.
//
//   std::string error;
//   auto yaml = data::writeYaml(Value(ValueMap{{"a", Value("<null>")}}), error);  // "a: <null>\n"
//
// nullopt with the emitter's description in `error` when emitting fails.
std::optional<std::string> writeYaml(const Value& value, std::string& error);

} // namespace lexorra::data
