#include "actions/lines/TextActionTrimLines.h"

#include "text/Lines.h"

namespace lexorra {

std::string TextActionTrimLines::transform(std::string_view text) const {
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    while (true) {
        const size_t lineFeed = text.find('\n', start);
        const size_t end = lineFeed == std::string_view::npos ? text.size() : lineFeed;
        out += text::trimWhitespaceAndNewlines(text.substr(start, end - start));
        if (lineFeed == std::string_view::npos) return out;
        out += '\n';
        start = lineFeed + 1;
    }
}

LEXORRA_ACTION_FACTORY(TextActionTrimLines)

} // namespace lexorra
