#include "actions/data/TextActionXML.h"

#include "actions/data/XmlSupport.h"
#include "text/Lines.h"

namespace lexorra {

std::string TextActionXML::transform(std::string_view input) const {
    std::string repaired;
    const std::string_view text = data::validUtf8(input, repaired);
    // Tabs are kept here: unlike the JSON conversion, the beautifier must not change text content.
    std::string changed;
    const std::string_view prepared = data::normaliseDeclarationAndQuotes(text, changed);
    auto pretty = data::prettyPrintXml(text::trimWhitespaceAndNewlines(prepared));
    return pretty ? std::move(*pretty) : std::string(notValidMarker);
}

LEXORRA_ACTION_FACTORY(TextActionXML)

} // namespace lexorra
