#pragma once

#include "core/ResultMarkers.h"
#include "core/TextAction.h"

#include <string>
#include <string_view>

namespace lexorra {

// XML to beautified JSON through ParseXMLData: each element becomes a member named after it,
// holding its attributes and children, or its text when it has only text.
class TextActionXMLtoJSON : public TextAction {
public:
    TextActionXMLtoJSON() : TextAction(TextActionType::XMLtoJSON) {}

    std::string transform(std::string_view text) const override;

    static constexpr std::string_view notValidXmlMarker = markers::notValidXml;
    static constexpr std::string_view noValidJsonMarker = markers::noValidJsonFromXml;
};

namespace data {
// Whitespace before each "<" removed, line breaks after each ">" removed, then every "#".
std::string compactXmlForConversion(std::string_view xml);
} // namespace data

} // namespace lexorra
