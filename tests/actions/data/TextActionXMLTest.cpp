#include "actions/data/TextActionXML.h"

#include "core/ActionFactory.h"

#include "support/ActionCases.h"

#include <gtest/gtest.h>

using namespace lexorra;

namespace {

using lexorra::testing::Row;

const std::string notXml = "  --- Not valid XML --- ";

std::string run(std::string_view input) {
    return TextActionXML().transform(input);
}

} // namespace

TEST(TextActionXML, Layout) {
    const std::vector<Row> cases = {
        {"one element per line", "<a><b>x</b><c/></a>", "<a>\n  <b>x</b>\n  <c/>\n</a>\n"},
        {"re-indents indented input", "<a>\n        <b>\n   <c>1</c>\n</b>\n</a>",
         "<a>\n  <b>\n    <c>1</c>\n  </b>\n</a>\n"},
        {"declaration dropped", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<a/>", "<a/>\n"},
        {"other declared encoding read as UTF-8", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>é</a>",
         "<a>é</a>\n"},
        {"typographic quotes made plain", "<a k=\u201Cv\u201D/>", "<a k=\"v\"/>\n"},
        {"attributes kept in order", "<a z=\"1\" b='2'/>", "<a z=\"1\" b=\"2\"/>\n"},
        {"tabs in text kept", "<a>\tt</a>", "<a>\tt</a>\n"},
        {"mixed content stays inline", "<a>x<b>y</b>z</a>", "<a>x<b>y</b>z</a>\n"},
        {"entities stay escaped", "<a>1 &lt; 2 &amp; é</a>", "<a>1 &lt; 2 &amp; é</a>\n"},
        {"comments and CDATA kept", "<a><!--c--><b><![CDATA[x<y]]></b></a>",
         "<a>\n  <!--c-->\n  <b><![CDATA[x<y]]></b>\n</a>\n"},
        {"surrounding whitespace trimmed", "\n  <a/>\n", "<a/>\n"},
        {"invalid UTF-8 read as U+FFFD", "<a>x\xff</a>", "<a>x\xEF\xBF\xBD</a>\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(c.input), c.expected) << c.name;
}

TEST(TextActionXML, NotWellFormed) {
    for (const char* input : {"", "text", "<a>", "<a></b>", "<a/><b/>", "<a x=1/>", "<a>&nope;</a>"})
        EXPECT_EQ(run(input), notXml) << input;
}

TEST(TextActionXML, IdempotentOnItsOwnOutput) {
    const std::string xml =
        "<root a=\"1\"><item id=\"x\"><v>1</v></item><t>a &amp; b</t><![CDATA[c]]><!-- n --></root>";
    const std::string once = run(xml);
    ASSERT_NE(once, notXml);
    EXPECT_EQ(run(once), once);
}
