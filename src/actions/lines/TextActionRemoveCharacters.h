#pragma once

#include "core/TextAction.h"

#include <cstdint>

namespace lexorra {

enum class RemoveCharactersType : std::int64_t {
    deleteCharacters = 0,
    removeNonAlphanumeric = 1,
    removeNumeric = 2,
    removeNonNumeric = 3,
    removeTabs = 4,
    removeSpaces = 5,
    removeEmojis = 6,
    deleteAfterPosition = 7,
    deleteBeforePosition = 8,
    deleteAfterText = 9,
    deleteBeforeText = 10,
    lastCharacters = 11,
    nonASCII = 12,
};

// Removes code points by class or from a given set over the whole text, or, line by
// line, the characters around a position or a text.
class TextActionRemoveCharacters : public TextAction {
public:
    TextActionRemoveCharacters() : TextAction(TextActionType::removeCharacters) {}

    RemoveCharactersType removeCharactersType = RemoveCharactersType::deleteCharacters;
    std::string charactersForDelete;
    std::string afterBeforeText;
    std::int64_t position = 10;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
};

} // namespace lexorra
