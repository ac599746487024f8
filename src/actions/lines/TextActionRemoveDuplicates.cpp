#include "actions/lines/TextActionRemoveDuplicates.h"

#include "text/CanonicalKeys.h"
#include "text/Lines.h"
#include "text/Utf.h"

#include <unordered_set>

namespace lexorra {
namespace {

// Remembers texts up to canonical equivalence.
class SeenTexts {
public:
    // True when the text is new (and now remembered).
    bool insert(std::string_view s) { return m_seen.insert(m_keys.key(s)).second; }

private:
    text::CanonicalKeys m_keys;
    std::unordered_set<std::string_view> m_seen;
};

std::string uniqueLines(std::string_view text) {
    SeenTexts seen;
    std::string out;
    out.reserve(text.size());
    for (auto line : text::splitLines(text)) {
        if (!seen.insert(line)) continue;
        // The separator goes only after something was written, so an empty first line
        // vanishes and the next kept line opens the output.
        if (!out.empty()) out += '\n';
        out += line;
    }
    return out;
}

// A repeated word is removed together with the white space in front of it.
std::string uniqueWords(std::string_view text) {
    SeenTexts seen;
    std::string out;
    out.reserve(text.size());
    size_t rest = 0;
    size_t i = 0;
    while (i < text.size()) {
        size_t wordStart = i;
        size_t next = i;
        if (text::isWhitespaceOrNewline(text::nextCodePoint(text, next))) {
            i = next;
            continue;
        }
        size_t wordEnd = next;
        while (wordEnd < text.size()) {
            next = wordEnd;
            if (text::isWhitespaceOrNewline(text::nextCodePoint(text, next))) break;
            wordEnd = next;
        }
        if (seen.insert(text.substr(wordStart, wordEnd - wordStart))) out.append(text, rest, wordEnd - rest);
        rest = wordEnd;
        i = wordEnd;
    }
    out.append(text, rest, std::string_view::npos);
    return out;
}

} // namespace

const OptionList& TextActionRemoveDuplicates::options() const {
    using A = TextActionRemoveDuplicates;
    static const OptionList decls = {
        bind({.key = "DuplicatesType",
              .label = "Remove:",
              .kind = OptionKind::menu,
              .cases = {{0, "duplicatesLines", "duplicate lines"}, {1, "duplicatesWords", "duplicate words"}}},
             &A::duplicatesType),
    };
    return decls;
}

std::string TextActionRemoveDuplicates::transform(std::string_view text) const {
    if (duplicatesType == RemoveDuplicatesType::duplicatesWords) return uniqueWords(text);
    return uniqueLines(text);
}

LEXORRA_ACTION_FACTORY(TextActionRemoveDuplicates)

} // namespace lexorra
