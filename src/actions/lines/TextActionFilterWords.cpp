#include "actions/lines/TextActionFilterWords.h"

#include "text/CanonicalMatcher.h"
#include "text/Lines.h"
#include "text/Utf.h"

namespace lexorra {
namespace {

// Byte length of the whitespace-or-newline character at i, or 0 when there is none.
size_t whitespaceLength(std::string_view s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) return c == ' ' || (c >= 0x09 && c <= 0x0D) ? 1 : 0;
    size_t next = i;
    return text::isWhitespaceOrNewline(text::nextCodePoint(s, next)) ? next - i : 0;
}

} // namespace

const OptionList& TextActionFilterWords::options() const {
    using A = TextActionFilterWords;
    static const OptionList decls = {
        bind({.key = "CheckText", .label = "Text:"}, &A::checkText),
        bind({.key = "FilterWordsType",
              .label = "Remove words:",
              .kind = OptionKind::menu,
              .cases = {{0, "containingText", "containing text"},
                        {1, "startingWithText", "starting with text"},
                        {2, "notContainingText", "not containing text"},
                        {3, "notStartingWithText", "not starting with text"}}},
             &A::filterWordsType),
    };
    return decls;
}

std::string TextActionFilterWords::transform(std::string_view text) const {
    text::CanonicalMatcher check(checkText);
    const auto removes = [&](std::string_view word) {
        switch (filterWordsType) {
        case FilterWordsType::containingText: return check.isContainedIn(word);
        case FilterWordsType::startingWithText: return check.isPrefixOf(word);
        case FilterWordsType::notContainingText: return !check.isContainedIn(word);
        case FilterWordsType::notStartingWithText: return !check.isPrefixOf(word);
        }
        return false;
    };
    std::string out;
    out.reserve(text.size());
    // Line feeds are white space too, so walking the whole text keeps every line and its
    // breaks exactly as walking line by line would.
    size_t gapStart = 0; // the white space since the last kept or removed word
    size_t i = 0;
    while (i < text.size()) {
        if (const size_t gap = whitespaceLength(text, i)) {
            i += gap;
            continue;
        }
        size_t end = i;
        while (end < text.size() && !whitespaceLength(text, end)) {
            if (static_cast<unsigned char>(text[end]) < 0x80)
                ++end;
            else
                text::nextCodePoint(text, end);
        }
        const std::string_view gap = text.substr(gapStart, i - gapStart);
        if (removes(text.substr(i, end - i))) {
            // The word goes with the white space in front of it on its own line; what ends
            // the lines before stays with them.
            if (const size_t lastBreak = gap.rfind('\n'); lastBreak != std::string_view::npos)
                out += gap.substr(0, lastBreak + 1);
        } else {
            out += gap;
            out.append(text, i, end - i);
        }
        i = end;
        gapStart = end;
    }
    out.append(text, gapStart, std::string_view::npos);
    return out;
}

LEXORRA_ACTION_FACTORY(TextActionFilterWords)

} // namespace lexorra
