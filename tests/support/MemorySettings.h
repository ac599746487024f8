#pragma once

#include "core/AppManager.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace lexorra::testing {

// The controller's settings kept in memory: what it writes, it reads back.
class MemorySettings : public SettingsBackend {
public:
    std::map<std::string, Value, std::less<>> values;
    std::optional<Value> value(std::string_view key) const override {
        auto it = values.find(key);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void setValue(std::string_view key, const Value& v) override { values[std::string(key)] = v; }
};

} // namespace lexorra::testing
