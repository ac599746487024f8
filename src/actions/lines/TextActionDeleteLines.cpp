#include "actions/lines/TextActionDeleteLines.h"

#include "text/CanonicalMatcher.h"

namespace lexorra {

const OptionList& TextActionDeleteLines::options() const {
    using A = TextActionDeleteLines;
    static const OptionList decls = {
        bind({.key = "CheckText", .label = "Text:"}, &A::checkText),
        bind({.key = "DeleteLinesType",
              .label = "Delete lines:",
              .kind = OptionKind::menu,
              .cases = {{0, "containingText", "containing text"},
                        {1, "startingWithText", "starting with text"},
                        {2, "notContainingText", "not containing text"},
                        {3, "notStartingWithText", "not starting with text"}}},
             &A::deleteLinesType),
    };
    return decls;
}

std::string TextActionDeleteLines::transform(std::string_view text) const {
    text::CanonicalMatcher check(checkText);
    const auto removes = [&](std::string_view line) {
        switch (deleteLinesType) {
        case DeleteLinesType::containingText: return check.isContainedIn(line);
        case DeleteLinesType::startingWithText: return check.isPrefixOf(line);
        case DeleteLinesType::notContainingText: return !check.isContainedIn(line);
        case DeleteLinesType::notStartingWithText: return !check.isPrefixOf(line);
        }
        return false;
    };
    std::string out;
    out.reserve(text.size());
    bool wroteAny = false;
    size_t start = 0;
    while (true) {
        const size_t lineFeed = text.find('\n', start);
        const size_t end = lineFeed == std::string_view::npos ? text.size() : lineFeed;
        const std::string_view line = text.substr(start, end - start);
        if (!removes(line)) {
            if (wroteAny) out += '\n';
            out += line;
            wroteAny = true;
        }
        if (lineFeed == std::string_view::npos) return out;
        start = lineFeed + 1;
    }
}

LEXORRA_ACTION_FACTORY(TextActionDeleteLines)

} // namespace lexorra
