#include "actions/lines/TextActionRemoveEmptyLines.h"

#include "text/Lines.h"

namespace lexorra {

const OptionList& TextActionRemoveEmptyLines::options() const {
    using A = TextActionRemoveEmptyLines;
    static const OptionList decls = {
        bind({.key = "OnlyDoubleEmptyLines", .label = "Only double empty lines"}, &A::onlyDoubleEmptyLines),
        bind({.key = "TrimLinesBeforeApply", .label = "Trim lines before apply"}, &A::trimLinesBeforeApply),
    };
    return decls;
}

std::string TextActionRemoveEmptyLines::transform(std::string_view text) const {
    std::string out;
    out.reserve(text.size());
    bool previousEmpty = false;
    bool wroteAny = false;
    size_t start = 0;
    while (true) {
        const size_t lineFeed = text.find('\n', start);
        const size_t end = lineFeed == std::string_view::npos ? text.size() : lineFeed;
        std::string_view line = text.substr(start, end - start);
        if (trimLinesBeforeApply) line = text::trimWhitespaceAndNewlines(line);
        const bool empty = line.empty();
        if (!empty || (onlyDoubleEmptyLines && !previousEmpty)) {
            if (wroteAny) out += '\n';
            out += line;
            wroteAny = true;
        }
        previousEmpty = empty;
        if (lineFeed == std::string_view::npos) return out;
        start = lineFeed + 1;
    }
}

LEXORRA_ACTION_FACTORY(TextActionRemoveEmptyLines)

} // namespace lexorra
