// Damaged documents for every reader among the actions (cut short, bytes dropped, doubled or
// changed): each comes back with a result or its marker and, where the result is again a
// document, in the shape of one.
#include "MalformedInputs.h"

#include "actions/data/TextActionJSON.h"
#include "support/ActionCases.h"

#include <functional>

using namespace lexorra;
using namespace lexorra::testing;

namespace {

struct Reader {
    const char* name;
    TextActionType type;
    Options options;
    std::string valid;
    std::function<void(const std::string& out)> check;
};

void notEmpty(const std::string& out) {
    EXPECT_FALSE(out.empty());
}

// Empty, or opening and closing as the kind's documents do.
std::function<void(const std::string&)> emptyOr(char first, char last) {
    return [=](const std::string& out) {
        if (out.empty()) return;
        EXPECT_EQ(out.front(), first);
        EXPECT_EQ(out.back(), last);
    };
}

TEST(DamagedInput, EveryReaderComesBackWithAResult) {
    const std::string json = R"({"rows":[{"a":1,"b":"x,\"y\"","c":[1.5e-9,{"d":null}]},{"é":true,"f":"b/c"}],"g":{}})";
    const std::string yaml = "base: &b {x: 1, y: [a, 'b', \"c\"]}\nlist:\n  - <<: *b\n    z: |\n      text\n"
                             "  - !!str 12\n  - ? complex\n    : value\nq: \"é\\t\"\n";
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root a=\"1\">\n  <item id=\"x\"><v>1</v></item>\n"
        "  <item id=\"y\"><v>é</v></item>\n  <t>a &amp; b</t><![CDATA[c]]><!-- n -->\n</root>\n";
    const std::string csv = "id,name,\"quoted, \"\"x\"\"\"\r\n1,Ann,\"a,b\"\n2,\"open\n\n-3;4\t5,é,\U0001F600\n";
    const Reader readers[] = {
        {"beautify JSON",
         TextActionType::JSON,
         {},
         json,
         [](const std::string& out) {
             // A result that is not the marker is the layout of a document, so it stays as it is.
             if (out != TextActionJSON::notValidMarker) {
                 EXPECT_EQ(runWith(TextActionType::JSON, {}, out), out);
             }
         }},
        {"YAML to JSON", TextActionType::yaml, {{"Conversion", 0}}, yaml, notEmpty},
        {"JSON to YAML", TextActionType::yaml, {{"Conversion", 1}}, json, notEmpty},
        {"beautify XML", TextActionType::XML, {}, xml, notEmpty},
        {"XML to JSON", TextActionType::XMLtoJSON, {}, xml, notEmpty},
        {"JSON to CSV",
         TextActionType::JSONtoCSV,
         {{"Conversion", 1}},
         json,
         [](const std::string& out) { EXPECT_EQ(out.find('\0'), std::string::npos); }},
        {"CSV to JSON", TextActionType::JSONtoCSV, {{"Conversion", 0}}, csv, emptyOr('[', ']')},
        {"CSV to Markdown", TextActionType::csvToMarkdown, {}, csv, emptyOr('|', '\n')},
        {"CSV to Markdown at semicolons", TextActionType::csvToMarkdown, {{"Delimiter", ";"}}, csv, emptyOr('|', '\n')},
        {"CSV to Markdown at tabs", TextActionType::csvToMarkdown, {{"Delimiter", "\\t"}}, csv, emptyOr('|', '\n')},
        {"CSV to Markdown at spaces", TextActionType::csvToMarkdown, {{"Delimiter", ""}}, csv, emptyOr('|', '\n')},
    };
    for (const auto& reader : readers)
        for (const auto& input : testdata::malformedVariants(reader.valid, 300)) {
            SCOPED_TRACE(std::string(reader.name) + ": " + input);
            reader.check(runWith(reader.type, reader.options, input));
        }
}

} // namespace
