#pragma once

#include "core/TextAction.h"

#include <unicode/locid.h>

namespace lexorra {

// Numbers written out in words in the user's language, line by line; everything else stays.
//   "I have 3 apples" -> "I have three apples" (English); "a2" stays "a2".
class TextActionSpellOutNumbers : public TextAction {
public:
    TextActionSpellOutNumbers() : TextAction(TextActionType::spellOutNumbers) {}

    std::string transform(std::string_view text) const override;
};

// The transform with an explicit locale, for callers that must not depend on the user's.
std::string spellOutNumbers(std::string_view text, const icu::Locale& locale);

} // namespace lexorra
