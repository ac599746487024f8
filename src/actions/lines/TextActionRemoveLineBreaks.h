#pragma once

#include "core/TextAction.h"

namespace lexorra {

// Joins all lines into one by dropping every line feed; nothing is put in their place.
class TextActionRemoveLineBreaks : public TextAction {
public:
    TextActionRemoveLineBreaks() : TextAction(TextActionType::removeLineBreaks) {}

    std::string transform(std::string_view text) const override;
};

} // namespace lexorra
