#pragma once

#include "core/TextAction.h"

#include <string>

namespace lexorra {

// Puts a text, used as typed, behind every non-empty line. Every newline character (CR, VT,
// FF, NEL, LS, PS as well as LF) ends a line and the lines are joined again with line feeds,
// so a CR LF pair leaves an empty line between its two halves.
class TextActionAddSuffix : public TextAction {
public:
    TextActionAddSuffix() : TextAction(TextActionType::addSuffix) {}

    std::string suffix;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
};

} // namespace lexorra
