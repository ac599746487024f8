#pragma once

#include "core/Value.h"

namespace lexorra::data {

// How JSON data is carried into the YAML and CSV models: objects and arrays recursively,
// a number whose value is integral (and fits in 64 bits) becomes an integer (2.0 becomes 2),
// other numbers stay doubles, booleans and strings stay as they are, and null becomes the
// six-character text "<null>".
//
//   auto tree = data::parseStrictJson(text);          // JsonPrettyWriter.h
//   Value converted = data::applyJsonValueRule(*tree);
Value applyJsonValueRule(const Value& json);

} // namespace lexorra::data
