#include "actions/lines/TextActionRemoveLineBreaks.h"

#include <algorithm>
#include <iterator>

namespace lexorra {

// Only line feeds separate lines here: a carriage return stays inside its line.
std::string TextActionRemoveLineBreaks::transform(std::string_view text) const {
    std::string out;
    out.reserve(text.size());
    std::remove_copy(text.begin(), text.end(), std::back_inserter(out), '\n');
    return out;
}

LEXORRA_ACTION_FACTORY(TextActionRemoveLineBreaks)

} // namespace lexorra
