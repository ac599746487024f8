#include "actions/data/XmlSupport.h"
#include "MalformedInputs.h"

#include <libxml/parser.h>

#include <gtest/gtest.h>

using namespace lexorra;

namespace {

// The reference: a full document parse with the tree built.
bool documentParses(const std::string& xml) {
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    xmlDocPtr doc = xmlCtxtReadMemory(ctxt, xml.data(), static_cast<int>(xml.size()), nullptr, nullptr,
                                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC);
    const bool ok = doc && ctxt->wellFormed;
    xmlFreeDoc(doc);
    xmlFreeParserCtxt(ctxt);
    return ok;
}

} // namespace

TEST(XmlSupport, WellFormednessAgreesWithADocumentParse) {
    const std::vector<std::string> samples = {
        "<a/>",
        "<a>x</a>",
        "<a><b/></a>",
        "",
        "<a>",
        "<a></b>",
        "<a/><b/>",
        "text",
        "<!DOCTYPE a [<!ENTITY e \"hi\">]><a>&e;</a>",
        "<!DOCTYPE a [<!ENTITY e \"<b>x</b>\">]><a>&e;&e;</a>",
        "<!DOCTYPE a [<!ENTITY e \"<b>\">]><a>&e;</a>",
        "<!DOCTYPE a [<!ENTITY e SYSTEM \"file:///etc/hostname\">]><a>&e;</a>",
        "<a>&undefined;</a>",
        "<n:a/>",
        "<a x='1' x='2'/>",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>é</a>",
    };
    for (const auto& xml : samples)
        EXPECT_EQ(data::isWellFormedXml(xml), documentParses(xml)) << xml;

    const std::string valid = "<!DOCTYPE r [<!ENTITY e \"v\">]><r a=\"1\"><i id='x'>&e;<v>1</v></i><!-- c -->"
                              "<![CDATA[<c>]]><?pi d?><n:t xmlns:n=\"u\">a &amp; b</n:t></r>";
    for (const auto& xml : testdata::malformedVariants(valid, 400))
        EXPECT_EQ(data::isWellFormedXml(xml), documentParses(xml)) << xml;
}
