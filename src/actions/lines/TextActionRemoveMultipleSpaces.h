#pragma once

#include "core/TextAction.h"

namespace lexorra {

// Collapses every run of spaces (U+0020 only) into one space.
class TextActionRemoveMultipleSpaces : public TextAction {
public:
    TextActionRemoveMultipleSpaces() : TextAction(TextActionType::removeMultipleSpaces) {}

    std::string transform(std::string_view text) const override;
};

} // namespace lexorra
