#pragma once

#include "core/TextAction.h"

#include <cstdint>
#include <string>

namespace lexorra {

enum class InsertTextType : std::int64_t {
    atFirstLine = 0,
    atLastLine = 1,
    atPosition = 2,
    beforeEveryWord = 3,
    afterEveryWord = 4,
    beforeText = 5,
    afterText = 6,
    afterEveryCharacter = 7,
};

// Inserts a text at one kind of place: a new first or last line, a character position in
// every line, around every word, around every occurrence of an anchor text, or after every
// user-perceived character. In the inserted text, backslash-n stands for a line break.
class TextActionInsertText : public TextAction {
public:
    TextActionInsertText() : TextAction(TextActionType::incertText) {}

    InsertTextType insertType = InsertTextType::atFirstLine;
    std::string insetText;
    std::string insetBeforeAfterText;
    // 1 inserts before the first character of a line; past the end appends.
    std::int64_t position = 10;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
};

} // namespace lexorra
