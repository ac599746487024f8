#include "actions/data/TextActionXMLtoJSON.h"
#include "actions/data/ParseXMLData.h"

#include "core/ActionFactory.h"

#include "support/ActionCases.h"

#include <gtest/gtest.h>

using namespace lexorra;

namespace {

using lexorra::testing::Row;

const std::string notXml = "  --- Not valid XML --- ";
const std::string noJson = "  --- Could not generate valid JSON --- ";

std::string run(std::string_view input) {
    return TextActionXMLtoJSON().transform(input);
}

} // namespace

TEST(TextActionXMLtoJSON, Conversion) {
    const std::vector<Row> cases = {
        {"root with text", "<a>x</a>", "{\n  \"a\" : \"x\"\n}"},
        {"empty root", "<a/>", "{\n  \"a\" : {}\n}"},
        {"empty element pair", "<a></a>", "{\n  \"a\" : {}\n}"},
        {"consecutive siblings with children become an array", "<r><b><c/></b><b><c/></b></r>",
         "{\n  \"r\" : {\n    \"b\" : [\n      {\n        \"c\" : {}\n      },\n      {\n        \"c\" : {}\n      }\n "
         "   ]\n  }\n}"},
        {"three siblings", "<r><b i=\"1\"/><b i=\"2\"/><b i=\"3\"/></r>",
         "{\n  \"r\" : {\n    \"b\" : [\n      {\n        \"i\" : \"1\"\n      },\n      {\n        \"i\" : \"2\"\n    "
         "  },\n"
         "      {\n        \"i\" : \"3\"\n      }\n    ]\n  }\n}"},
        {"attribute and text: text lost", "<a id=\"1\">text</a>", "{\n  \"a\" : {\n    \"id\" : \"1\"\n  }\n}"},
        {"attributes in document order", "<a z=\"1\" b=\"2\"/>",
         "{\n  \"a\" : {\n    \"z\" : \"1\",\n    \"b\" : \"2\"\n  }\n}"},
        {"text and elements side by side", "<a><b>x</b><c/></a>",
         "{\n  \"a\" : {\n    \"b\" : \"x\",\n    \"c\" : {}\n  }\n}"},
        {"indented input", "<a>\n  <b>x</b>\n  <c>\n    <d>y</d>\n  </c>\n</a>\n",
         "{\n  \"a\" : {\n    \"b\" : \"x\",\n    \"c\" : {\n      \"d\" : \"y\"\n    }\n  }\n}"},
        {"declaration with utf-8 accepted", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<a>x</a>",
         "{\n  \"a\" : \"x\"\n}"},
        {"declaration with utf-16 accepted", "<?xml version=\"1.0\" encoding=\"utf-16\"?><a>x</a>",
         "{\n  \"a\" : \"x\"\n}"},
        {"typographic quotes made plain", "<a k=\u201Cv\u201D/>", "{\n  \"a\" : {\n    \"k\" : \"v\"\n  }\n}"},
        {"quote and backslash removed from text", "<a>say \"hi\" \\ ok</a>", "{\n  \"a\" : \"say hi  ok\"\n}"},
        {"quotes removed from attribute values", "<a k='x\"y'/>", "{\n  \"a\" : {\n    \"k\" : \"xy\"\n  }\n}"},
        {"next-line before a tag is white space", "<r><a>\u0085<b/></a></r>",
         "{\n  \"r\" : {\n    \"a\" : {\n      \"b\" : {}\n    }\n  }\n}"},
        {"entities in attribute values are decoded", "<a href=\"/?a=1&amp;b=2\" t=\"&lt;&amp;amp;&gt;\"/>",
         "{\n  \"a\" : {\n    \"href\" : \"\\/?a=1&b=2\",\n    \"t\" : \"<&amp;>\"\n  }\n}"},
        {"hash removed", "<a>#1</a>", "{\n  \"a\" : \"1\"\n}"},
        {"slash escaped and non-ASCII raw", "<a>é/x</a>", "{\n  \"a\" : \"é\\/x\"\n}"},
        {"tabs removed", "<a>\tx\ty</a>", "{\n  \"a\" : \"xy\"\n}"},
        {"text after an entity is a later chunk", "<a>a &amp; b</a>", "{\n  \"a\" : \"a \"\n}"},
        {"CDATA is not text", "<a><![CDATA[x]]></a>", "{\n  \"a\" : {}\n}"},
        {"comments and instructions skipped", "<a><!-- c --><?pi x?><b>1</b></a>",
         "{\n  \"a\" : {\n    \"b\" : \"1\"\n  }\n}"},
        {"qualified names as written", "<n:a xmlns:n=\"u\"><n:b>t</n:b></n:a>",
         "{\n  \"n:a\" : {\n    \"xmlns:n\" : \"u\",\n    \"n:b\" : \"t\"\n  }\n}"},
        {"name that ends another name", "<r><item/><subitem/></r>",
         "{\n  \"r\" : {\n    \"item\" : {},\n    \"subitem\" : {}\n  }\n}"},
        // Once a name forms a run, its other non-text elements are lists too; "ab" is left alone.
        {"run of a name that ends another", "<r><x><b/></x><ab/><b><c/></b><b><c/></b></r>",
         "{\n  \"r\" : {\n    \"x\" : {\n      \"b\" : [\n        {}\n      ]\n    },\n    \"ab\" : {},\n    \"b\" : "
         "[\n      {\n        \"c\" : {}\n"
         "      },\n      {\n        \"c\" : {}\n      }\n    ]\n  }\n}"},
        {"surrounding whitespace trimmed", "\n  <a>x</a>  \n", "{\n  \"a\" : \"x\"\n}"},
        // Text-only siblings write no end marker: the key repeats and one of the two survives.
        {"text-only siblings", "<r><b>1</b><b>2</b></r>", "{\n  \"r\" : {\n    \"b\" : \"2\"\n  }\n}"},
        {"text followed by a child element cannot be mapped", "<a>x<b/></a>", noJson},
        {"a character reference loses its # and stops the conversion part-way", "<a>&#120;</a>", noJson},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(c.input), c.expected) << c.name;
}

TEST(TextActionXMLtoJSON, NotWellFormed) {
    for (const char* input : {"", "   ", "text", "<a>", "<a><b></a></b>", "<a></b>", "<a x=1/>", "<a/><b/>",
                              "<a>&undefined;</a>", "<?xml version=\"1.0\"?>", "<a attr=\"1\" attr=\"2\"/>"})
        EXPECT_EQ(run(input), notXml) << input;
}

TEST(TextActionXMLtoJSON, DeepNestingGivesTheMarker) {
    EXPECT_EQ(run(lexorra::testing::repeat("<a>", 5000) + lexorra::testing::repeat("</a>", 5000)), notXml);
}

TEST(ParseXMLData, WhitespaceOnlyTextBeforeAChildOpensAnObject) {
    // Such text only survives when it came from a reference; the converter alone shows the rule.
    ParseXMLData converter("<a>&#32;&#32;<b/></a>");
    EXPECT_EQ(converter.parse(), "{\"a\":{\"b\":{}}}");
}

TEST(TextActionXMLtoJSON, ManyDistinctNamesAndLongRuns) {
    std::string xml = "<r>";
    for (int i = 0; i < 3000; ++i)
        xml += "<f" + std::to_string(i) + " v=\"" + std::to_string(i) + "\"/>";
    for (int i = 0; i < 3000; ++i)
        xml += "<row><c>" + std::to_string(i) + "</c></row>";
    xml += "</r>";
    const std::string out = run(xml);
    EXPECT_NE(out.find("\"f2999\" : {\n      \"v\" : \"2999\"\n    }"), std::string::npos);
    EXPECT_NE(out.find("\"row\" : [\n      {\n        \"c\" : \"0\"\n      },"), std::string::npos);
    EXPECT_NE(out.find("{\n        \"c\" : \"2999\"\n      }\n    ]"), std::string::npos);
}
