#pragma once

#include "core/TextAction.h"

namespace lexorra {

// Removes white space and newline characters from both ends of every line; the line count stays.
class TextActionTrimLines : public TextAction {
public:
    TextActionTrimLines() : TextAction(TextActionType::trimLines) {}

    std::string transform(std::string_view text) const override;
};

} // namespace lexorra
