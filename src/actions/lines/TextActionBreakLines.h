#pragma once

#include "core/TextAction.h"

#include <cstdint>

namespace lexorra {

enum class BreakLinesActionTypes : std::int64_t {
    afterEveryWord = 0,
    afterEverySentence = 1,
    afterChar = 2,
    beforeChar = 3,
    afterEveryChar = 4,
    atMaxPosition = 5,
};

// Inserts line breaks: one word or sentence per line, around every occurrence of a text,
// after every character, or every `position` characters of each line.
class TextActionBreakLines : public TextAction {
public:
    TextActionBreakLines() : TextAction(TextActionType::breakLines) {}

    BreakLinesActionTypes actionType = BreakLinesActionTypes::afterEveryWord;
    std::string characterForBreak;
    std::int64_t position = 10;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
};

} // namespace lexorra
