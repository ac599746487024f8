#pragma once

#include "core/TextAction.h"

#include <string>
#include <string_view>

namespace lexorra {

// Delimiter-separated text laid out as a pipe table with padded, equal-width columns and a
// dashed rule under the first line.
class TextActionCSVtoMarkdown : public TextAction {
public:
    TextActionCSVtoMarkdown() : TextAction(TextActionType::csvToMarkdown) {}

    bool firstAsHeader = true;
    std::string delimiter = ",";

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;

    // Cells wider than this are cut.
    static constexpr size_t maximumColumnWidth = 450;
};

// The delimiter an option text stands for: "\t" (backslash, t) is a tab, an empty text a
// space, anything else its first character.
char32_t delimiterCharacter(std::string_view option);

} // namespace lexorra
