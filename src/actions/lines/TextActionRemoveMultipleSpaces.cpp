#include "actions/lines/TextActionRemoveMultipleSpaces.h"

namespace lexorra {

// Tabs and other white space are not spaces here: a tab between two spaces keeps both.
std::string TextActionRemoveMultipleSpaces::transform(std::string_view text) const {
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    while (true) {
        const size_t pair = text.find("  ", start);
        if (pair == std::string_view::npos) break;
        out.append(text, start, pair + 1 - start);
        start = text.find_first_not_of(' ', pair + 1);
        if (start == std::string_view::npos) return out;
    }
    out.append(text, start, std::string_view::npos);
    return out;
}

LEXORRA_ACTION_FACTORY(TextActionRemoveMultipleSpaces)

} // namespace lexorra
