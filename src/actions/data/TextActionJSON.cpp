#include "actions/data/TextActionJSON.h"

#include "actions/data/JsonPrettyWriter.h"

namespace lexorra {

std::string TextActionJSON::transform(std::string_view text) const {
    auto pretty = data::prettyPrintJson(text);
    return pretty ? std::move(*pretty) : std::string(notValidMarker);
}

LEXORRA_ACTION_FACTORY(TextActionJSON)

} // namespace lexorra
