#pragma once

#include "core/TextAction.h"

#include <string>
#include <string_view>

namespace lexorra {

enum class ConvertCaseType : int {
    original = 0,
    upperCase = 1,
    lowerCase = 2,
    capitalizeWords = 3,
    titleCase = 4,
    sentenceCase = 5,
    camelCase = 6,
    pascalCase = 7,
    camelCaseToNormal = 8,
    camelCaseToSnakeCase = 9,
    randomcase = 10,
    alternatingCase = 11,
};

// Changes letter case: whole-text mappings, word-, title- and sentence-aware forms,
// identifier styles and random or alternating case.
//
//   TextActionConvertCase a;
//   a.caseType = ConvertCaseType::camelCaseToSnakeCase;
//   a.transform("parseJSONResponse") == "parse_json_response";
class TextActionConvertCase : public TextAction {
public:
    TextActionConvertCase() : TextAction(TextActionType::convertCase) {}

    ConvertCaseType caseType = ConvertCaseType::upperCase;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
};

// The conversions, usable on their own.
namespace convert_case {
std::string titleCaseLine(std::string_view line);
std::string sentenceCaseLine(std::string_view line);
std::string camelCaseLine(std::string_view line, bool pascal);
std::string splitIdentifiers(std::string_view line, bool snake);
std::string randomCase(std::string_view text);
std::string alternatingCase(std::string_view text);
} // namespace convert_case

} // namespace lexorra
