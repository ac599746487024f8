#include "actions/data/JsonPrettyWriter.h"

#include "core/Json.h"
#include "text/Utf.h"

#include <simdjson.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <deque>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace lexorra::data {

namespace {

using simdjson::dom::element;
using simdjson::dom::element_type;

// 0: copy as is; 1: escape.
constexpr std::array<unsigned char, 256> escapeTable = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 0x20; ++c) table[c] = 1;
    table['"'] = table['\\'] = table['/'] = 1;
    return table;
}();

void appendEscaped(std::string& out, unsigned char c) {
    switch (c) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '/': out += "\\/"; return;
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: {
        static constexpr char hex[] = "0123456789abcdef";
        const char escaped[] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
        out.append(escaped, sizeof escaped);
    }
    }
}

void appendInteger(std::string& out, auto number) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    out.append(buffer, result.ptr);
}

// Member lists are collected per nesting level so that one buffer per level serves every
// object met at that level.
struct Member {
    std::string_view key;
    element value;
};

// Of two members with the same key the first position and the last value survive. Most
// objects have no duplicates, so the check is made cheap first and the rebuild rare.
bool hasDuplicateKeys(const std::vector<Member>& members) {
    const size_t n = members.size();
    if (n < 2) return false;
    if (n <= 32) {
        for (size_t i = 1; i < n; ++i)
            for (size_t j = 0; j < i; ++j)
                if (members[i].key == members[j].key) return true;
        return false;
    }
    std::vector<std::string_view> keys;
    keys.reserve(n);
    for (const auto& m : members) keys.push_back(m.key);
    std::sort(keys.begin(), keys.end());
    return std::adjacent_find(keys.begin(), keys.end()) != keys.end();
}

void collapseDuplicates(std::vector<Member>& members) {
    std::unordered_map<std::string_view, element> last;
    for (const auto& m : members) last[m.key] = m.value;
    std::unordered_set<std::string_view> written;
    std::vector<Member> kept;
    for (const auto& m : members)
        if (written.insert(m.key).second) kept.push_back({m.key, last[m.key]});
    members = std::move(kept);
}

class DomWriter {
public:
    explicit DomWriter(std::string& out) : m_out(out) {}

    void write(element value, size_t level) {
        switch (value.type()) {
        case element_type::ARRAY: writeArray(value.get_array().value_unsafe(), level); break;
        case element_type::OBJECT: writeObject(value.get_object().value_unsafe(), level); break;
        case element_type::STRING: appendJsonString(m_out, value.get_string().value_unsafe()); break;
        case element_type::INT64: appendInteger(m_out, value.get_int64().value_unsafe()); break;
        case element_type::UINT64: appendInteger(m_out, value.get_uint64().value_unsafe()); break;
        case element_type::DOUBLE: appendJsonNumber(m_out, value.get_double().value_unsafe()); break;
        case element_type::BOOL: m_out += value.get_bool().value_unsafe() ? "true" : "false"; break;
        case element_type::NULL_VALUE: m_out += "null"; break;
        }
    }

private:
    void newline(size_t level) {
        m_out += '\n';
        m_out.append(2 * level, ' ');
    }

    void writeArray(simdjson::dom::array array, size_t level) {
        if (array.begin() == array.end()) {
            m_out += "[]";
            return;
        }
        m_out += '[';
        bool first = true;
        for (element item : array) {
            if (!first) m_out += ',';
            first = false;
            newline(level + 1);
            write(item, level + 1);
        }
        newline(level);
        m_out += ']';
    }

    void writeObject(simdjson::dom::object object, size_t level) {
        if (object.begin() == object.end()) {
            m_out += "{}";
            return;
        }
        if (m_scratch.size() <= level) m_scratch.resize(level + 1);
        auto& members = m_scratch[level];
        members.clear();
        for (auto field : object) members.push_back({field.key, field.value});
        if (hasDuplicateKeys(members)) collapseDuplicates(members);

        m_out += '{';
        for (size_t i = 0; i < members.size(); ++i) {
            if (i) m_out += ',';
            newline(level + 1);
            appendJsonString(m_out, members[i].key);
            m_out += " : ";
                        write(members[i].value, level + 1);
        }
        newline(level);
        m_out += '}';
    }

    std::string& m_out;
    std::deque<std::vector<Member>> m_scratch; // a deque: growing it keeps outer levels' buffers in place
};

class ValueWriter {
public:
    explicit ValueWriter(std::string& out) : m_out(out) {}

    void write(const Value& value, size_t level) {
        if (value.isList()) {
            const auto& list = value.asList();
            if (list.empty()) {
                m_out += "[]";
                return;
            }
            m_out += '[';
            for (size_t i = 0; i < list.size(); ++i) {
                if (i) m_out += ',';
                newline(level + 1);
                write(list[i], level + 1);
            }
            newline(level);
            m_out += ']';
        } else if (value.isMap()) {
            const auto& map = value.asMap();
            if (map.empty()) {
                m_out += "{}";
                return;
            }
            m_out += '{';
            for (size_t i = 0; i < map.size(); ++i) {
                if (i) m_out += ',';
                newline(level + 1);
                appendJsonString(m_out, map[i].first);
                m_out += " : ";
                write(map[i].second, level + 1);
            }
            newline(level);
            m_out += '}';
        } else if (value.isString()) {
            appendJsonString(m_out, value.asString());
        } else if (value.isInteger()) {
            appendInteger(m_out, value.asInteger());
        } else if (value.isDouble()) {
            appendJsonNumber(m_out, value.asDouble());
        } else if (value.isBool()) {
            m_out += value.asBool() ? "true" : "false";
        } else {
            m_out += "null";
        }
    }

private:
    void newline(size_t level) {
        m_out += '\n';
        m_out.append(2 * level, ' ');
    }

    std::string& m_out;
};

// Text that reaches an action is text: bytes that are not UTF-8 are read as U+FFFD rather
// than making the whole input "not JSON".
std::string_view validUtf8(std::string_view text, std::string& repaired) {
    if (simdjson::validate_utf8(text.data(), text.size())) return text;
    repaired = text::toUtf8(text::toUnicode(text));
    return repaired;
}

// Text saved by some editors starts with a byte order mark; JSON readers may ignore it, and the
// platform's reader does.
std::string_view withoutByteOrderMark(std::string_view json) {
    constexpr std::string_view mark = "\xEF\xBB\xBF";
    return json.starts_with(mark) ? json.substr(mark.size()) : json;
}

enum class ParseOutcome { container, invalid, bigInteger };

ParseOutcome parseContainer(simdjson::dom::parser& parser, std::string_view json, element& root) {
    std::string repaired;
    const std::string_view input = validUtf8(json, repaired);
    const auto error = parser.parse(input.data(), input.size(), true).get(root);
    if (error == simdjson::NUMBER_ERROR) return ParseOutcome::bigInteger;
    if (error != simdjson::SUCCESS) return ParseOutcome::invalid;
    const auto type = root.type();
    return type == element_type::ARRAY || type == element_type::OBJECT ? ParseOutcome::container
                                                                       : ParseOutcome::invalid;
}

// The same nesting limit as the fast parser, checked before the recursive tree build.
bool nestsTooDeep(std::string_view json) {
    constexpr size_t maximumDepth = 1024;
    size_t depth = 0;
    bool inString = false;
    for (size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maximumDepth) return true;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return false;
}

// An integer too long for 64 bits is still valid JSON, yet the fast parser reports it as a bad
// number: such documents take the slower general parser, which reads those integers as doubles.
std::optional<Value> parseWithBigIntegers(std::string_view json) {
    std::string repaired;
    const std::string_view input = validUtf8(json, repaired);
    if (nestsTooDeep(input)) return std::nullopt;
    auto value = lexorra::json::parse(input);
    if (!value || !(value->isList() || value->isMap())) return std::nullopt;
    return value;
}

// Live results re-run the same action on every edit: each thread keeps one parser and its
// buffers for texts of ordinary size, and lets the buffers of a huge text go after use.
class ParserLease {
public:
    simdjson::dom::parser& get() { return m_parser; }
    ~ParserLease() {
        if (m_parser.capacity() > keptCapacity) m_parser = simdjson::dom::parser();
    }

private:
    static constexpr size_t keptCapacity = 4 * 1024 * 1024;
    static thread_local simdjson::dom::parser s_parser;
    simdjson::dom::parser& m_parser = s_parser;
};

thread_local simdjson::dom::parser ParserLease::s_parser;

Value toValue(element value) {
    switch (value.type()) {
    case element_type::ARRAY: {
        ValueList list;
        const simdjson::dom::array array = value.get_array().value_unsafe();
        for (element item : array) list.push_back(toValue(item));
        return Value(std::move(list));
    }
    case element_type::OBJECT: {
        std::vector<Member> members;
        const simdjson::dom::object object = value.get_object().value_unsafe();
        for (auto field : object) members.push_back({field.key, field.value});
        if (hasDuplicateKeys(members)) collapseDuplicates(members);
        ValueMap map;
        map.reserve(members.size());
        for (const auto& m : members) map.emplace_back(std::string(m.key), toValue(m.value));
        return Value(std::move(map));
    }
    case element_type::STRING: return Value(value.get_string().value_unsafe());
    case element_type::INT64: return Value(value.get_int64().value_unsafe());
    case element_type::UINT64: return Value(static_cast<double>(value.get_uint64().value_unsafe()));
    case element_type::DOUBLE: return Value(value.get_double().value_unsafe());
    case element_type::BOOL: return Value(value.get_bool().value_unsafe());
    case element_type::NULL_VALUE: break;
    }
    return Value();
}

} // namespace

void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    size_t run = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!escapeTable[c]) continue;
        out.append(text.data() + run, i - run);
        appendEscaped(out, c);
        run = i + 1;
    }
    out.append(text.data() + run, text.size() - run);
    out += '"';
}

// The shortest digits that read back as the same double, in decimal notation from 1e-4 up
// to 2^53 and in exponent notation ("1e-05", "1.5e+300") outside that range.
std::string doubleDescription(double d) {
    if (std::isnan(d)) return "nan";
    if (std::isinf(d)) return d < 0 ? "-inf" : "inf";
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::scientific);
    if (error != std::errc()) return "0.0";
    const std::string_view scientific(buffer, static_cast<size_t>(end - buffer));
    const size_t e = scientific.find('e');
    std::string_view mantissa = scientific.substr(0, e);
    const int exponent = std::stoi(std::string(scientific.substr(e + 1)));
    const bool negative = mantissa.front() == '-';
    if (negative) mantissa.remove_prefix(1);
    std::string digits;
    for (char c : mantissa)
        if (c != '.') digits += c;

    std::string out;
    if (negative) out += '-';
    const double magnitude = std::fabs(d);
    if (magnitude != 0 && (magnitude < 1e-4 || magnitude > 9007199254740992.0)) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1, std::string::npos);
        }
        out += exponent < 0 ? "e-" : "e+";
        const int absolute = std::abs(exponent);
        if (absolute < 10) out += '0';
        out += std::to_string(absolute);
        return out;
    }
    // Append piece by piece: GCC 12 at -O3 warns falsely about chains of operator+.
    const size_t point = exponent < 0 ? 0 : static_cast<size_t>(exponent) + 1;
    if (exponent < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out += digits;
    } else if (point >= digits.size()) {
        out += digits;
        out.append(point - digits.size(), '0');
        out += ".0";
    } else {
        out.append(digits, 0, point);
        out += '.';
        out.append(digits, point, std::string::npos);
    }
    return out;
}

void appendJsonNumber(std::string& out, double number) {
    if (!std::isfinite(number)) {
        out += "null";
        return;
    }
    // Written as the platform describes the double, without a bare ".0" fraction: 100000.0
    // stays 100000 rather than the shorter 1e+05.
    std::string text = doubleDescription(number);
    if (text.ends_with(".0")) text.resize(text.size() - 2);
    out += text;
}

std::optional<std::string> prettyPrintJson(std::string_view json) {
    json = withoutByteOrderMark(json);
    ParserLease parser;
    element root;
    switch (parseContainer(parser.get(), json, root)) {
    case ParseOutcome::invalid: return std::nullopt;
    case ParseOutcome::bigInteger: {
        auto value = parseWithBigIntegers(json);
        if (!value) return std::nullopt;
        return prettyJson(*value);
    }
    case ParseOutcome::container: break;
    }
    std::string out;
    // Indentation usually doubles compact input; reserving that avoids copying while growing.
    out.reserve(2 * json.size() + 64);
    DomWriter(out).write(root, 0);
    return out;
}

std::string prettyJson(const Value& value) {
    std::string out;
    ValueWriter(out).write(value, 0);
    return out;
}

std::optional<Value> parseStrictJson(std::string_view json) {
    json = withoutByteOrderMark(json);
    ParserLease parser;
    element root;
    switch (parseContainer(parser.get(), json, root)) {
    case ParseOutcome::invalid: return std::nullopt;
    case ParseOutcome::bigInteger: return parseWithBigIntegers(json);
    case ParseOutcome::container: break;
    }
    return toValue(root);
}

} // namespace lexorra::data
