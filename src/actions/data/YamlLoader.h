#pragma once

#include "core/Value.h"

#include <string>
#include <string_view>

namespace lexorra::data {

// Reads a YAML stream that must hold exactly one document and turns it into a tree that JSON
// can hold. Scalars are typed by resolvePlainScalar (quoted scalars and "!!str" are strings),
// "<<" merges mappings, aliases share their anchored node.
//
//   auto r = data::loadYamlForJson("a: 1\nb: [x, y]\n");
//   // r.status == YamlLoad::ok, r.value is {"a": 1, "b": ["x", "y"]}
enum class YamlLoad {
    ok,
    empty,     // the stream holds no document
    error,     // syntax error, second document, undefined alias, expansion or depth limit: see `error`
    notForJson // a top-level scalar, a non-string key, a date, bytes, infinity or NaN
};

struct YamlLoadResult {
    YamlLoad status = YamlLoad::empty;
    Value value;
    std::string error;
};

YamlLoadResult loadYamlForJson(std::string_view text);

// Bounds that keep hostile input from exhausting memory or the stack: aliases may expand the
// document to at most this many nodes plus scalar bytes, and collections nest at most this deep.
constexpr size_t yamlExpansionLimit = 20'000'000;
constexpr size_t yamlDepthLimit = 1000;

} // namespace lexorra::data
