#pragma once

#include "core/ResultMarkers.h"
#include "core/TextAction.h"

#include <string_view>

namespace lexorra {

// Re-indents an XML document: one element per line, nested elements indented.
class TextActionXML : public TextAction {
public:
    TextActionXML() : TextAction(TextActionType::XML) {}

    std::string transform(std::string_view text) const override;

    static constexpr std::string_view notValidMarker = markers::notValidXml;
};

} // namespace lexorra
