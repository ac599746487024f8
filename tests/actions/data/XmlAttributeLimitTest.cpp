#include "actions/data/XmlSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace lexorra;

namespace {

std::string attributes(size_t count, char quote = '"') {
    std::string out;
    for (size_t i = 0; i < count; ++i)
        out += " a" + std::to_string(i) + "=" + quote + "v" + quote;
    return out;
}

struct LimitCase {
    const char* name;
    std::string xml;
    bool tooMany;
};

TEST(XmlAttributeLimit, CountsAttributesOfOneStartTagOnly) {
    const size_t limit = data::xmlAttributeLimit;
    std::string manyElements;
    for (size_t i = 0; i < limit; ++i) manyElements += "<e" + attributes(2) + "/>";
    const LimitCase cases[] = {
        {"at the limit", "<e" + attributes(limit) + "/>", false},
        {"one past the limit", "<e" + attributes(limit + 1) + "/>", true},
        {"past the limit on an inner element", "<r><x/><e" + attributes(limit + 1) + "></e></r>", true},
        {"single quotes", "<e" + attributes(limit + 1, '\'') + "/>", true},
        {"a '>' inside a value does not end the tag", "<e x=\">\"" + attributes(limit + 1) + "/>", true},
        {"'=' inside values is not an attribute", "<e x=\"" + std::string(3 * limit, '=') + "\"/>", false},
        {"many elements with few attributes each", "<r>" + manyElements + "</r>", false},
        {"inside a comment", "<r><!--<e" + attributes(limit + 1) + "/>--></r>", false},
        {"inside CDATA", "<r><![CDATA[<e" + attributes(limit + 1) + "/>]]></r>", false},
        {"inside a processing instruction", "<?pi <e" + attributes(limit + 1) + "/> ?><r/>", false},
        {"after an unterminated comment", "<r/><!--<e" + attributes(limit + 1) + "/>", false},
    };
    for (const auto& c : cases) EXPECT_EQ(data::hasTooManyAttributes(c.xml), c.tooMany) << c.name;
}

TEST(XmlAttributeLimit, RefusedDocumentsReadAsNotWellFormed) {
    const std::string ok = "<e" + attributes(data::xmlAttributeLimit) + "/>";
    const std::string tooMany = "<e" + attributes(data::xmlAttributeLimit + 1) + "/>";
    EXPECT_TRUE(data::isWellFormedXml(ok));
    EXPECT_FALSE(data::isWellFormedXml(tooMany));
    EXPECT_TRUE(data::prettyPrintXml(ok).has_value());
    EXPECT_FALSE(data::prettyPrintXml(tooMany).has_value());
}

} // namespace
