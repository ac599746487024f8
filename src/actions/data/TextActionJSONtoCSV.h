#pragma once

#include "core/ResultMarkers.h"
#include "core/TextAction.h"
#include "core/Value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lexorra {

enum class JSONtoCSVType : std::int64_t { toJson = 0, toCSV = 1 };

// CSV with a header line to a JSON array of objects (whole numbers typed as integers), or a
// JSON array of objects (or an object holding such arrays) to CSV with a header line.
class TextActionJSONtoCSV : public TextAction {
public:
    TextActionJSONtoCSV() : TextAction(TextActionType::JSONtoCSV) {}

    JSONtoCSVType conversion = JSONtoCSVType::toCSV;

    std::string transform(std::string_view text) const override;

    SyntaxChange syntax() const override;
    const OptionList& options() const override;

    static constexpr std::string_view notValidJsonMarker = markers::notValidJson;
};

// CSV (header line first) to laid-out JSON; the empty text when there is no header line.
std::string csvToJson(std::string_view csv);
// JSON to CSV; nullopt when the text is not a JSON object or array.
std::optional<std::string> jsonToCsv(std::string_view json);

// How a value reads in a CSV cell: strings as they are, numbers in their shortest form,
// nested lists and maps bracketed with quoted strings: ["a": 1, "b": [2, "x"]].
std::string cellText(const Value& value);

// Key order of the JSON output: case-insensitive, digit runs compared by their numeric
// value, ties broken by code point.
bool jsonKeyLess(std::string_view a, std::string_view b);

} // namespace lexorra
