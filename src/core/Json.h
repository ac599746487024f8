#pragma once

#include "core/Value.h"

#include <optional>
#include <string>
#include <string_view>

namespace lexorra::json {

struct WriteOptions {
    bool sortKeys = false;
    bool pretty = false;
};

// Parses JSON text into a Value; nullopt when the text is not valid JSON.
std::optional<Value> parse(std::string_view text, std::string* error = nullptr);

// Serialises a Value as JSON text. Non-finite doubles are written as null.
std::string write(const Value& value, WriteOptions options = {});

} // namespace lexorra::json
