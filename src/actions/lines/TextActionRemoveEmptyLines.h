#pragma once

#include "core/TextAction.h"

namespace lexorra {

// Drops empty lines, or with onlyDoubleEmptyLines shrinks every run of empty lines to one.
// With trimLinesBeforeApply, lines of white space count as empty and kept lines are trimmed.
class TextActionRemoveEmptyLines : public TextAction {
public:
    TextActionRemoveEmptyLines() : TextAction(TextActionType::removeEmptyLines) {}

    bool onlyDoubleEmptyLines = false;
    bool trimLinesBeforeApply = true;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
};

} // namespace lexorra
