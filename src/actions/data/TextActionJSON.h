#pragma once

#include "core/ResultMarkers.h"
#include "core/TextAction.h"

#include <string_view>

namespace lexorra {

// Re-lays-out a JSON object or array in the indented form of data::prettyPrintJson.
class TextActionJSON : public TextAction {
public:
    TextActionJSON() : TextAction(TextActionType::JSON) {}

    std::string transform(std::string_view text) const override;

    static constexpr std::string_view notValidMarker = markers::notValidJson;
};

} // namespace lexorra
