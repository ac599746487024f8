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
    std::optional<Value> value(SettingName key) const override {
        auto it = values.find(key.text());
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void setValue(SettingName key, const Value& v) override { values[std::string(key.text())] = v; }
};

} // namespace lexorra::testing
