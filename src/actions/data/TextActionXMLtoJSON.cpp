#include "actions/data/TextActionXMLtoJSON.h"

#include "actions/data/JsonPrettyWriter.h"
#include "actions/data/ParseXMLData.h"
#include "actions/data/XmlSupport.h"
#include "text/Lines.h"
#include "text/Utf.h"

#include <unicode/uchar.h>

namespace lexorra {

namespace data {

namespace {

// The regular-expression class \s as the ICU engine matches it: the White_Space property.
bool isRegexSpace(char32_t c) {
    return u_isUWhiteSpace(static_cast<UChar32>(c));
}

} // namespace

std::string compactXmlForConversion(std::string_view xml) {
    std::string out;
    out.reserve(xml.size());
    size_t i = 0;
    while (i < xml.size()) {
        const char c = xml[i];
        if (c == '>') {
            // ">" followed by one or more (CR? LF) keeps only the ">".
            out += c;
            ++i;
            for (;;) {
                if (i < xml.size() && xml[i] == '\n') {
                    ++i;
                } else if (i + 1 < xml.size() && xml[i] == '\r' && xml[i + 1] == '\n') {
                    i += 2;
                } else {
                    break;
                }
            }
            continue;
        }
        size_t next = i;
        const char32_t cp = text::nextCodePoint(xml, next);
        if (isRegexSpace(cp)) {
            // A whitespace run that ends at "<" disappears; any other run stays.
            size_t end = next;
            while (end < xml.size()) {
                size_t after = end;
                if (!isRegexSpace(text::nextCodePoint(xml, after))) break;
                end = after;
            }
            if (end < xml.size() && xml[end] == '<') {
                i = end;
                continue;
            }
            out.append(xml, i, end - i);
            i = end;
            continue;
        }
        if (c != '#') out.append(xml, i, next - i);
        i = next;
    }
    return out;
}

} // namespace data

std::string TextActionXMLtoJSON::transform(std::string_view input) const {
    std::string repaired;
    const std::string_view text = data::validUtf8(input, repaired);
    std::string changed;
    const std::string prepared = data::removeAll(data::normaliseDeclarationAndQuotes(text, changed), "\t");
    const std::string_view trimmed = text::trimWhitespaceAndNewlines(prepared);
    if (!data::isWellFormedXml(trimmed)) return std::string(notValidXmlMarker);

    const std::string compact = data::compactXmlForConversion(trimmed);
    const std::string json = ParseXMLData(compact).parse();
    auto pretty = data::prettyPrintJson(json);
    return pretty ? std::move(*pretty) : std::string(noValidJsonMarker);
}

LEXORRA_ACTION_FACTORY(TextActionXMLtoJSON)

} // namespace lexorra
