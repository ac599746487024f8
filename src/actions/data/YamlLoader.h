#pragma once

#include "core/Value.h"

#include <algorithm>
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

// Bounds that keep hostile input (alias bombs) from exhausting memory or the stack. Without
// aliases a document cannot hold more nodes than it has bytes, nor more scalar text than
// itself, so the limits grow with the input and only expansion through aliases reaches them.
struct YamlLimits {
    size_t nodes;
    size_t textBytes;
    static YamlLimits forInput(size_t inputBytes) {
        return {std::max<size_t>(1'000'000, inputBytes), std::max<size_t>(16'000'000, 4 * inputBytes)};
    }
};
constexpr size_t yamlDepthLimit = 1000;

} // namespace lexorra::data
