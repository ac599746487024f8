// Documents that point at local files (external entities, external DTDs, XInclude) and at
// the network: the XML actions never read what they point at.
#include "actions/data/TextActionXML.h"
#include "actions/data/TextActionXMLtoJSON.h"
#include "core/ActionFactory.h"
#include "support/TemporaryXdgHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using namespace lexorra;

namespace {

constexpr std::string_view secret = "TOPSECRET-7f3a9c";

class XmlExternalEntity : public ::testing::Test {
protected:
    void SetUp() override {
        std::ofstream(secretFile) << secret;
        // A DTD that brings the secret in by itself, and one that defines an entity around it.
        std::ofstream(folder / "direct.dtd") << "<!ENTITY leak \"" << secret << "\">";
        std::ofstream(folder / "wrapper.dtd") << "<!ENTITY % file SYSTEM \"file://" << secretFile.string()
                                              << "\">\n<!ENTITY % build \"<!ENTITY leak '%file;'>\">\n%build;";
    }

    std::vector<std::pair<std::string, std::string>> documents() const {
        const std::string file = secretFile.string();
        const std::string url = "file://" + file;
        const std::string direct = "file://" + (folder / "direct.dtd").string();
        const std::string wrapper = "file://" + (folder / "wrapper.dtd").string();
        return {
            {"general entity, file URL", "<!DOCTYPE r [<!ENTITY s SYSTEM \"" + url + "\">]>\n<r>&s;</r>"},
            {"general entity, plain path", "<!DOCTYPE r [<!ENTITY s SYSTEM \"" + file + "\">]>\n<r><a>&s;</a></r>"},
            {"entity in an attribute", "<!DOCTYPE r [<!ENTITY s SYSTEM \"" + url + "\">]>\n<r a=\"&s;\"/>"},
            {"external DTD subset", "<!DOCTYPE r SYSTEM \"" + direct + "\">\n<r>&leak;</r>"},
            {"parameter entity", "<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + wrapper + "\"> %p;]>\n<r>&leak;</r>"},
            {"XInclude",
             "<r xmlns:xi=\"http://www.w3.org/2001/XInclude\"><xi:include href=\"" + url + "\" parse=\"text\"/></r>"},
            {"network entity", "<!DOCTYPE r [<!ENTITY s SYSTEM \"http://127.0.0.1:9/secret\">]>\n<r>&s;</r>"},
        };
    }

    const lexorra::testing::TemporaryXdgHome home;
    const std::filesystem::path folder = home.root;
    const std::filesystem::path secretFile = folder / "secret.txt";
};

TEST_F(XmlExternalEntity, NoXmlActionReadsTheFilesADocumentPointsAt) {
    const auto kinds = {TextActionType::XML, TextActionType::XMLtoJSON};
    int outputs = 0;
    for (TextActionType kind : kinds) {
        for (const auto& [name, xml] : documents()) {
            const auto action = makeDefault(kind);
            const std::string out = action->transform(xml);
            EXPECT_EQ(out.find(secret), std::string::npos) << title(kind) << ", " << name << ":\n" << out;
            outputs += out.empty() ? 0 : 1;
        }
    }
    EXPECT_EQ(outputs, 14);
}

// The control: the same documents with the secret written inline do show it, so the check
// above looks at output that would carry it.
TEST_F(XmlExternalEntity, InlineEntitiesStillExpandWhereTheActionsExpandThem) {
    const std::string xml = "<!DOCTYPE r [<!ENTITY s \"" + std::string(secret) + "\">]>\n<r><a>&s;</a></r>";
    TextActionXMLtoJSON toJson;
    EXPECT_NE(toJson.transform(xml).find(secret), std::string::npos);
    TextActionXML beautify;
    EXPECT_NE(beautify.transform("<r><a>" + std::string(secret) + "</a></r>").find(secret), std::string::npos);
}

} // namespace
