#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace lexorra {

// Turns XML into JSON text in one event-driven pass, writing JSON as elements are reported,
// then repairs the text with string passes (arrays for runs of equally named siblings, end
// markers removed). The output is compact and may be invalid JSON for XML it cannot map
// (mixed content, repeated non-consecutive names); the caller validates it.
//
//   ParseXMLData("<a><b><c/></b><b><c/></b></a>").parse()
//   // {"a":{"b":[{"c":{}},{"c":{}}]}}
//
// Text keeps only its first reported chunk and loses double quotes; "#" and "@}" serve as
// markers inside the text being built, so the caller removes "#" from the XML beforehand.
class ParseXMLData {
public:
    explicit ParseXMLData(std::string_view xml) : parser(xml) {}

    std::string parse();

    std::string_view parser;                  // the prepared XML
    std::vector<std::string> elementArr;      // distinct element names, first appearance first
    std::vector<std::string> arrayElementArr; // names seen as consecutive non-text siblings
    std::string str = "{";                    // the JSON text being built

    void didStartElement(std::string_view name, const std::vector<std::pair<std::string, std::string>>& attributes);
    void foundCharacters(std::string_view text);
    void didEndElement(std::string_view name);

private:
    void afterParsing();
    std::unordered_set<std::string> m_known;
};

} // namespace lexorra
