#include "actions/lines/TextActionAddPrefix.h"

#include "text/LineFeedEscape.h"

#include <algorithm>

namespace lexorra {

const OptionList& TextActionAddPrefix::options() const {
    using A = TextActionAddPrefix;
    static const OptionList decls = {
        bind({.key = "Prefix", .label = "Prefix:", .hint = "\\n is a line break"}, &A::prefix),
    };
    return decls;
}

std::string TextActionAddPrefix::transform(std::string_view text) const {
    const std::string head = text::expandBackslashN(prefix);
    std::string out;
    out.reserve(text.size() + (static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1) * head.size());
    size_t start = 0;
    while (true) {
        const size_t lineFeed = text.find('\n', start);
        const size_t end = lineFeed == std::string_view::npos ? text.size() : lineFeed;
        if (end > start) {
            out += head;
            out.append(text, start, end - start);
        }
        if (lineFeed == std::string_view::npos) break;
        out += '\n';
        start = lineFeed + 1;
    }
    return out;
}

LEXORRA_ACTION_FACTORY(TextActionAddPrefix)

} // namespace lexorra
