#include "actions/data/TextActionJSONtoCSV.h"

#include "actions/data/CSVReader.h"
#include "actions/data/CSVWriter.h"
#include "actions/data/JsonPrettyWriter.h"
#include "actions/data/JsonValueRule.h"
#include "actions/data/SwiftJSONFormatter.h"
#include "text/Cancellation.h"
#include "text/Utf.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_set>
#include <vector>

namespace lexorra {

namespace {

void appendQuoted(std::string& out, std::string_view s) {
    out += '"';
    for (size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (static_cast<unsigned char>(c) >= 0x20 && c != '"' && c != '\\') {
            out += c;
            ++i;
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\0':
            out += "\\0";
            break;
        default: {
            static constexpr char hex[] = "0123456789abcdef";
            const auto byte = static_cast<unsigned char>(c);
            out += "\\u{";
            if (byte >= 0x10) out += hex[byte >> 4];
            out += hex[byte & 0xF];
            out += '}';
        }
        }
        ++i;
    }
    out += '"';
}

void describe(std::string& out, const Value& value) {
    if (value.isString()) {
        appendQuoted(out, value.asString());
    } else if (value.isList()) {
        out += '[';
        bool first = true;
        for (const auto& element : value.asList()) {
            if (!first) out += ", ";
            first = false;
            describe(out, element);
        }
        out += ']';
    } else if (value.isMap()) {
        if (value.asMap().empty()) {
            out += "[:]";
            return;
        }
        out += '[';
        bool first = true;
        for (const auto& [key, member] : value.asMap()) {
            if (!first) out += ", ";
            first = false;
            appendQuoted(out, key);
            out += ": ";
            describe(out, member);
        }
        out += ']';
    } else {
        out += cellText(value);
    }
}

// A whole base-10 number with an optional sign that fits in 64 bits; "007" reads 7.
std::optional<std::int64_t> wholeNumber(std::string_view s) {
    if (s.empty()) return std::nullopt;
    const bool negative = s.front() == '-';
    if (s.front() == '+' || s.front() == '-') s.remove_prefix(1);
    if (s.empty()) return std::nullopt;
    std::uint64_t magnitude = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        if (magnitude > (UINT64_MAX - 9) / 10) return std::nullopt;
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (negative) {
        if (magnitude > static_cast<std::uint64_t>(INT64_MAX) + 1) return std::nullopt;
        return magnitude == static_cast<std::uint64_t>(INT64_MAX) + 1 ? INT64_MIN
                                                                      : -static_cast<std::int64_t>(magnitude);
    }
    if (magnitude > static_cast<std::uint64_t>(INT64_MAX)) return std::nullopt;
    return static_cast<std::int64_t>(magnitude);
}

bool isDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

class TableWriter {
public:
    void writeTable(const ValueList& elements) {
        metArray = true;
        std::vector<std::string> header;
        std::unordered_set<std::string> seen;
        for (const auto& element : elements) {
            if (!element.isMap()) continue;
            std::vector<std::string> keys;
            for (const auto& member : element.asMap())
                keys.push_back(member.first);
            std::sort(keys.begin(), keys.end());
            for (auto& key : keys)
                if (seen.insert(key).second) header.push_back(std::move(key));
        }
        if (headerPending) {
            writer.write(header);
            headerPending = false;
        }
        std::vector<std::string> row(header.size());
        for (const auto& element : elements) {
            if (!element.isMap()) continue;
            for (size_t c = 0; c < header.size(); ++c) {
                const Value* value = element.get(header[c]);
                row[c] = value ? cellText(*value) : std::string();
            }
            writer.write(row);
        }
    }

    void writeFlat(const ValueMap& object) {
        std::vector<const std::pair<std::string, Value>*> members;
        for (const auto& member : object)
            members.push_back(&member);
        std::stable_sort(members.begin(), members.end(), [](auto* a, auto* b) { return a->first < b->first; });
        std::vector<std::string> keys, values;
        for (const auto* member : members) {
            keys.push_back(member->first);
            values.push_back(cellText(member->second));
        }
        if (headerPending) writer.write(keys);
        headerPending = false;
        writer.write(values);
    }

    CSVWriter writer;
    bool headerPending = true;
    bool metArray = false;
};

} // namespace

std::string cellText(const Value& value) {
    if (value.isString()) return value.asString();
    if (value.isInteger()) return std::to_string(value.asInteger());
    if (value.isDouble()) return data::doubleDescription(value.asDouble());
    if (value.isBool()) return value.asBool() ? "true" : "false";
    if (value.isNull()) return "<null>";
    std::string out;
    describe(out, value);
    return out;
}

bool jsonKeyLess(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        size_t ni = i, nj = j;
        const char32_t x = text::nextCodePoint(a, ni);
        const char32_t y = text::nextCodePoint(b, nj);
        if (isDigit(x) && isDigit(y)) {
            size_t ei = i, ej = j;
            while (ei < a.size() && isDigit(static_cast<unsigned char>(a[ei])))
                ++ei;
            while (ej < b.size() && isDigit(static_cast<unsigned char>(b[ej])))
                ++ej;
            std::string_view runA = a.substr(i, ei - i), runB = b.substr(j, ej - j);
            while (runA.size() > 1 && runA.front() == '0')
                runA.remove_prefix(1);
            while (runB.size() > 1 && runB.front() == '0')
                runB.remove_prefix(1);
            if (runA.size() != runB.size()) return runA.size() < runB.size();
            if (runA != runB) return runA < runB;
            i = ei;
            j = ej;
            continue;
        }
        const UChar32 fx = u_foldCase(static_cast<UChar32>(x), U_FOLD_CASE_DEFAULT);
        const UChar32 fy = u_foldCase(static_cast<UChar32>(y), U_FOLD_CASE_DEFAULT);
        if (fx != fy) return fx < fy;
        i = ni;
        j = nj;
    }
    if ((i < a.size()) != (j < b.size())) return j < b.size();
    return a < b; // equal apart from case or leading zeros: a fixed order all the same
}

std::string csvToJson(std::string_view csv) {
    CSVReader reader(csv, {.hasHeaderRow = true});
    if (!reader.headerRow) return {};

    // One member per distinct header name, from its first column, in key order.
    struct Column {
        std::string name;
        size_t index;
        std::string key; // quoted key and colon, ready to write
    };
    std::vector<Column> columns;
    std::unordered_set<std::string> seen;
    for (size_t i = 0; i < reader.headerRow->size(); ++i) {
        const std::string& name = (*reader.headerRow)[i];
        if (seen.insert(name).second) columns.push_back({name, i, {}});
    }
    std::stable_sort(columns.begin(), columns.end(),
                     [](const Column& a, const Column& b) { return jsonKeyLess(a.name, b.name); });
    for (auto& column : columns) {
        data::appendJsonString(column.key, column.name);
        column.key += ':';
    }

    std::string compact = "[";
    bool firstRecord = true;
    while (auto record = reader.next()) {
        if (runIsStale()) return {};
        if (!firstRecord) compact += ',';
        firstRecord = false;
        compact += '{';
        for (size_t c = 0; c < columns.size(); ++c) {
            if (c > 0) compact += ',';
            compact += columns[c].key;
            const std::string_view field =
                columns[c].index < record->size() ? std::string_view((*record)[columns[c].index]) : std::string_view();
            if (auto number = wholeNumber(field))
                compact += std::to_string(*number);
            else
                data::appendJsonString(compact, field);
        }
        compact += '}';
    }
    compact += ']';
    return SwiftJSONFormatter::format(compact, "  ", "\n", " ");
}

std::optional<std::string> jsonToCsv(std::string_view json) {
    auto parsed = data::parseStrictJson(json);
    if (!parsed) return std::nullopt;
    // Cells are written from the tree the value rule gives: whole numbers as integers, null
    // as the text "<null>".
    Value converted = data::applyJsonValueRule(*parsed);
    const Value root = converted.isList() ? Value(ValueMap{{"items", std::move(converted)}}) : std::move(converted);

    TableWriter table;
    for (const auto& [key, value] : root.asMap()) {
        if (value.isList()) {
            table.writeTable(value.asList());
        } else if (value.isMap()) {
            for (const auto& [innerKey, inner] : value.asMap())
                if (inner.isList()) table.writeTable(inner.asList());
        }
    }
    if (!table.metArray) table.writeFlat(root.asMap());
    return std::move(table.writer).data();
}

const OptionList& TextActionJSONtoCSV::options() const {
    static const OptionList decls = {
        bind({.key = "Conversion",
              .label = "Convert:",
              .kind = OptionKind::menu,
              .required = true,
              .rejectInvalid = true,
              .cases = {{0, "toJson", "CSV to JSON"}, {1, "toCSV", "JSON to CSV"}}},
             &TextActionJSONtoCSV::conversion),
    };
    return decls;
}

std::string TextActionJSONtoCSV::transform(std::string_view text) const {
    try {
        if (conversion == JSONtoCSVType::toJson) return csvToJson(text);
        if (auto csv = jsonToCsv(text)) return std::move(*csv);
        return std::string(notValidJsonMarker);
    } catch (const std::exception&) {
        return conversion == JSONtoCSVType::toJson ? std::string() : std::string(notValidJsonMarker);
    }
}

SyntaxChange TextActionJSONtoCSV::syntax() const {
    if (conversion == JSONtoCSVType::toJson) return {TextSyntax::csv, TextSyntax::json};
    return {TextSyntax::json, TextSyntax::csv};
}

LEXORRA_ACTION_FACTORY(TextActionJSONtoCSV)

} // namespace lexorra
