#pragma once

#include "core/TextAction.h"

#include <cstdint>
#include <string>

namespace lexorra {

// Each case names the words that are removed.
enum class FilterWordsType : std::int64_t {
    containingText = 0,
    startingWithText = 1,
    notContainingText = 2,
    notStartingWithText = 3,
};

// Removes, inside every line, the words that pass a test against checkText, each together
// with the white space in front of it. The line structure never changes.
class TextActionFilterWords : public TextAction {
public:
    TextActionFilterWords() : TextAction(TextActionType::filterWords) {}

    FilterWordsType filterWordsType = FilterWordsType::containingText;
    std::string checkText;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
};

} // namespace lexorra
