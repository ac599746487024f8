#include "core/Value.h"

#include <cmath>

namespace lexorra {

std::optional<std::int64_t> Value::toInteger() const {
    if (isInteger()) return asInteger();
    if (isBool()) return asBool() ? 1 : 0;
    if (isDouble()) {
        double d = asDouble();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.2e18) return static_cast<std::int64_t>(d);
    }
    return std::nullopt;
}

std::optional<bool> Value::toBool() const {
    if (isBool()) return asBool();
    if (auto i = isDouble() || isInteger() ? toInteger() : std::nullopt; i && (*i == 0 || *i == 1)) return *i == 1;
    return std::nullopt;
}

std::optional<std::string> Value::toString() const {
    if (isString()) return asString();
    return std::nullopt;
}

const Value* Value::get(std::string_view key) const {
    if (!isMap()) return nullptr;
    for (const auto& [k, v] : asMap())
        if (k == key) return &v;
    return nullptr;
}

void Value::set(std::string_view key, Value value) {
    if (isNull()) m_storage = ValueMap{};
    auto& map = asMap();
    for (auto& [k, v] : map) {
        if (k == key) {
            v = std::move(value);
            return;
        }
    }
    map.emplace_back(std::string(key), std::move(value));
}

void Value::remove(std::string_view key) {
    if (!isMap()) return;
    std::erase_if(asMap(), [&](const auto& entry) { return entry.first == key; });
}

} // namespace lexorra
