#pragma once

#include "core/TextAction.h"

#include <string>

namespace lexorra {

// Puts a text in front of every non-empty line; empty lines stay empty. In the prefix,
// backslash-n stands for a line break.
class TextActionAddPrefix : public TextAction {
public:
    TextActionAddPrefix() : TextAction(TextActionType::addPrefix) {}

    std::string prefix;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
};

} // namespace lexorra
