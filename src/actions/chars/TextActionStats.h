#pragma once

#include "core/TextAction.h"

namespace lexorra {

// A report of character, line and word counts with a word-frequency list:
//   Total Characters: 17 / Total Lines: 1 / Total Words: 4 / Unique Words: 2, two empty
//   lines, "Word (Count)", twenty hyphens, then "the (2)", "cat (2)".
class TextActionStats : public TextAction {
public:
    TextActionStats() : TextAction(TextActionType::stats) {}

    std::string transform(std::string_view text) const override;
};

// The words the report counts: the lower-cased text split at white space, line breaks and
// punctuation, empty pieces dropped.
std::vector<std::string> statisticsWords(std::string_view text);

} // namespace lexorra
