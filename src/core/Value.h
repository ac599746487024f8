#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace lexorra {

class Value;

using ValueList = std::vector<Value>;
// Keys keep their insertion order: dictionary forms are written in a fixed key order.
using ValueMap = std::vector<std::pair<std::string, Value>>;

// The dictionary form of actions and workflows: the JSON data model, kept free of any
// JSON library so that widely included headers stay cheap to compile.
//
//   Dictionary d;
//   d.set("Type", 3);
//   d.set("CaseType", 2);
//   if (auto type = d.get("Type"); type && type->isInteger()) ...
class Value {
public:
    using Storage = std::variant<std::nullptr_t, bool, std::int64_t, double, std::string, ValueList, ValueMap>;

    Value() : m_storage(nullptr) {}
    Value(std::nullptr_t) : m_storage(nullptr) {}
    Value(bool b) : m_storage(b) {}
    Value(int i) : m_storage(std::int64_t{i}) {}
    Value(std::int64_t i) : m_storage(i) {}
    Value(double d) : m_storage(d) {}
    Value(const char* s) : m_storage(std::string(s)) {}
    Value(std::string s) : m_storage(std::move(s)) {}
    Value(std::string_view s) : m_storage(std::string(s)) {}
    Value(ValueList l) : m_storage(std::move(l)) {}
    Value(ValueMap m) : m_storage(std::move(m)) {}

    bool isNull() const { return std::holds_alternative<std::nullptr_t>(m_storage); }
    bool isBool() const { return std::holds_alternative<bool>(m_storage); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(m_storage); }
    bool isDouble() const { return std::holds_alternative<double>(m_storage); }
    bool isNumber() const { return isInteger() || isDouble(); }
    bool isString() const { return std::holds_alternative<std::string>(m_storage); }
    bool isList() const { return std::holds_alternative<ValueList>(m_storage); }
    bool isMap() const { return std::holds_alternative<ValueMap>(m_storage); }

    bool asBool() const { return std::get<bool>(m_storage); }
    std::int64_t asInteger() const { return std::get<std::int64_t>(m_storage); }
    double asDouble() const { return std::get<double>(m_storage); }
    const std::string& asString() const { return std::get<std::string>(m_storage); }
    const ValueList& asList() const { return std::get<ValueList>(m_storage); }
    ValueList& asList() { return std::get<ValueList>(m_storage); }
    const ValueMap& asMap() const { return std::get<ValueMap>(m_storage); }
    ValueMap& asMap() { return std::get<ValueMap>(m_storage); }

    // Lenient readers in the way stored property lists bridge numbers: a boolean reads as
    // 0/1, an integral double as an integer, the numbers 0 and 1 as booleans.
    std::optional<std::int64_t> toInteger() const;
    std::optional<bool> toBool() const;
    std::optional<std::string> toString() const;

    // Map access; get returns nullptr when this is not a map or the key is absent.
    const Value* get(std::string_view key) const;
    bool contains(std::string_view key) const { return get(key) != nullptr; }
    // Sets or replaces a key; turns a null value into an empty map first.
    void set(std::string_view key, Value value);
    void remove(std::string_view key);

    const Storage& storage() const { return m_storage; }
    friend bool operator==(const Value& a, const Value& b) { return a.m_storage == b.m_storage; }

private:
    Storage m_storage;
};

using Dictionary = Value;

inline Dictionary makeDictionary() { return Value(ValueMap{}); }

} // namespace lexorra
