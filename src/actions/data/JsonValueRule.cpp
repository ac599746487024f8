#include "actions/data/JsonValueRule.h"

#include <cmath>

namespace lexorra::data {

Value applyJsonValueRule(const Value& json) {
    if (json.isNull()) return Value("<null>");
    if (json.isDouble()) {
        const double d = json.asDouble();
        // 2^63 itself is outside the range; everything strictly below converts exactly.
        if (std::isfinite(d) && d == std::trunc(d) && d >= -9223372036854775808.0 && d < 9223372036854775808.0)
            return Value(static_cast<std::int64_t>(d));
        return json;
    }
    if (json.isList()) {
        ValueList list;
        list.reserve(json.asList().size());
        for (const auto& item : json.asList()) list.push_back(applyJsonValueRule(item));
        return Value(std::move(list));
    }
    if (json.isMap()) {
        ValueMap map;
        map.reserve(json.asMap().size());
        for (const auto& [key, value] : json.asMap()) map.emplace_back(key, applyJsonValueRule(value));
        return Value(std::move(map));
    }
    return json;
}

} // namespace lexorra::data
