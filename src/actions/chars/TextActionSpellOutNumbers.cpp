#include "actions/chars/TextActionSpellOutNumbers.h"

#include "text/NumberSpellOut.h"
#include "text/WordBreakTokens.h"

#include <algorithm>

namespace lexorra {

std::string spellOutNumbers(std::string_view text, const icu::Locale& locale) {
    const text::NumberSpeller speller(locale);
    // Line feeds are tokens of their own, so one pass over the whole text converts each
    // line as if it were split and joined again.
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (std::string_view token : text::wordBreakTokens(text)) {
        const bool hasDigit = std::any_of(token.begin(), token.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (hasDigit) {
            if (auto words = speller.spellOut(token)) {
                out += *words;
                continue;
            }
        }
        out += token;
    }
    return out;
}

std::string TextActionSpellOutNumbers::transform(std::string_view text) const {
    return spellOutNumbers(text, icu::Locale::getDefault());
}

LEXORRA_ACTION_FACTORY(TextActionSpellOutNumbers)

} // namespace lexorra
