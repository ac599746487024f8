#include "core/Json.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace lexorra::json {
namespace {

using ordered = nlohmann::ordered_json;

Value fromJson(const ordered& j) {
    switch (j.type()) {
    case ordered::value_t::null:
        return Value();
    case ordered::value_t::boolean:
        return Value(j.get<bool>());
    case ordered::value_t::number_integer:
        return Value(j.get<std::int64_t>());
    case ordered::value_t::number_unsigned: {
        auto u = j.get<std::uint64_t>();
        if (u <= static_cast<std::uint64_t>(INT64_MAX)) return Value(static_cast<std::int64_t>(u));
        return Value(static_cast<double>(u));
    }
    case ordered::value_t::number_float:
        return Value(j.get<double>());
    case ordered::value_t::string:
        return Value(j.get<std::string>());
    case ordered::value_t::array: {
        ValueList list;
        list.reserve(j.size());
        for (const auto& e : j)
            list.push_back(fromJson(e));
        return Value(std::move(list));
    }
    case ordered::value_t::object: {
        ValueMap map;
        map.reserve(j.size());
        for (auto it = j.begin(); it != j.end(); ++it)
            map.emplace_back(it.key(), fromJson(it.value()));
        return Value(std::move(map));
    }
    default:
        return Value();
    }
}

ordered toJson(const Value& v, bool sortKeys) {
    return std::visit(
        [&](const auto& x) -> ordered {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::nullptr_t>) {
                return nullptr;
            } else if constexpr (std::is_same_v<T, double>) {
                if (!std::isfinite(x)) return nullptr;
                return x;
            } else if constexpr (std::is_same_v<T, ValueList>) {
                ordered a = ordered::array();
                for (const auto& e : x)
                    a.push_back(toJson(e, sortKeys));
                return a;
            } else if constexpr (std::is_same_v<T, ValueMap>) {
                ordered o = ordered::object();
                if (sortKeys) {
                    std::vector<const std::pair<std::string, Value>*> entries;
                    entries.reserve(x.size());
                    for (const auto& e : x)
                        entries.push_back(&e);
                    std::stable_sort(entries.begin(), entries.end(),
                                     [](auto* a, auto* b) { return a->first < b->first; });
                    for (auto* e : entries)
                        o[e->first] = toJson(e->second, sortKeys);
                } else {
                    for (const auto& [k, val] : x)
                        o[k] = toJson(val, sortKeys);
                }
                return o;
            } else {
                return x;
            }
        },
        v.storage());
}

} // namespace

std::optional<Value> parse(std::string_view text, std::string* error) {
    // Stored documents nest a handful of levels. Anything much deeper is refused while it is
    // read: the conversions above recurse, and a hostile file must not exhaust the stack.
    constexpr int maxDepth = 512;
    const auto limitDepth = [](int depth, ordered::parse_event_t, ordered&) {
        if (depth > maxDepth) throw std::length_error("nested deeper than 512 levels");
        return true;
    };
    try {
        return fromJson(ordered::parse(text.begin(), text.end(), limitDepth));
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return std::nullopt;
    }
}

std::string write(const Value& value, WriteOptions options) {
    return toJson(value, options.sortKeys)
        .dump(options.pretty ? 2 : -1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace lexorra::json
