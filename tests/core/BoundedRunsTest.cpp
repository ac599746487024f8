// Hostile and oversized inputs: every action must come back, in bounded time, with a result
// or its marker text. The bounds are loose on purpose (these tests also run under the
// sanitizers); what they catch is a hang, a crash or a quadratic blow-up.
#include "actions/data/TextActionJSON.h"
#include "actions/data/TextActionXML.h"
#include "actions/data/TextActionXMLtoJSON.h"
#include "actions/data/TextActionYAMLtoJSON.h"
#include "actions/lines/TextActionReplaceString.h"
#include "core/ActionFactory.h"
#include "support/ActionCases.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace lexorra;

namespace {

using Clock = std::chrono::steady_clock;

struct BoundedCase {
    std::string name;
    TextActionType type;
    std::vector<std::pair<std::string, Value>> options;
    std::function<std::string()> input;
    // What the result must show; receives the input too.
    std::function<void(const std::string& in, const std::string& out)> check;
    double maxSeconds = 20;
};

using lexorra::testing::repeat;

std::string nested(std::string_view open, std::string_view close, size_t levels) {
    return repeat(open, levels) + repeat(close, levels);
}

std::string elementWithAttributes(size_t count) {
    std::string xml = "<e";
    for (size_t i = 0; i < count; ++i) xml += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    return xml + "/>";
}

// One 10 MB line of words separated by runs of spaces.
const std::string& tenMegabyteLine() {
    static const std::string line = repeat("abc  def ", 10 * 1024 * 1024 / 9) + "end";
    return line;
}

auto startsWith(std::string_view prefix) {
    return [prefix = std::string(prefix)](const std::string&, const std::string& out) {
        EXPECT_EQ(out.substr(0, prefix.size()), prefix);
    };
}

auto equals(std::string_view expected) {
    return [expected = std::string(expected)](const std::string&, const std::string& out) { EXPECT_EQ(out, expected); };
}

auto unchanged() {
    return [](const std::string& in, const std::string& out) { EXPECT_TRUE(out == in) << out.size() << " bytes"; };
}

auto notEmpty() {
    return [](const std::string&, const std::string& out) { EXPECT_FALSE(out.empty()); };
}

std::vector<BoundedCase> boundedCases() {
    const Value toJson(std::int64_t{0});
    const Value toYaml(std::int64_t{1});
    return {
        // Nesting far beyond any real document.
        {"JsonNested100kArrays", TextActionType::JSON, {}, [] { return nested("[", "]", 100'000); },
         equals(TextActionJSON::notValidMarker)},
        {"JsonNested100kObjects", TextActionType::JSON, {}, [] { return nested("{\"a\":", "}", 100'000); },
         equals(TextActionJSON::notValidMarker)},
        {"YamlNested100kFlowSequences", TextActionType::yaml, {{"Conversion", toJson}},
         [] { return nested("[", "]", 100'000); }, startsWith("collections nest deeper than 1000 levels")},
        {"YamlNested100kFlowMappings", TextActionType::yaml, {{"Conversion", toJson}},
         [] { return nested("{a: ", "}", 100'000); }, startsWith("collections nest deeper than 1000 levels")},
        {"YamlNestedUnclosed100k", TextActionType::yaml, {{"Conversion", toJson}}, [] { return repeat("[", 100'000); },
         startsWith("collections nest deeper than 1000 levels")},
        {"JsonToYamlNested100k", TextActionType::yaml, {{"Conversion", toYaml}},
         [] { return nested("[", "]", 100'000); }, equals(TextActionYAMLtoJSON::notValidJsonMarker)},
        {"XmlNested100kElements", TextActionType::XML, {}, [] { return nested("<a>", "</a>", 100'000); },
         equals(TextActionXML::notValidMarker)},
        // The HTML parser behind the Markdown page would search 100k open elements per tag;
        // past the nesting bound the page is the renderer's fragment as it stands.
        {"Markdown100kNestedQuotes", TextActionType::markdownToHtml, {}, [] { return repeat(">", 100'000) + " x\n"; },
         [](const std::string&, const std::string& out) {
             EXPECT_EQ(out.substr(0, 13), "<blockquote>\n");
             EXPECT_NE(out.find("<p>x</p>"), std::string::npos);
         }},
        {"MarkdownNestedQuotesBelowTheBoundArePrettyPrinted", TextActionType::markdownToHtml, {},
         [] { return repeat(">", 2'000) + " x\n"; },
         [](const std::string&, const std::string& out) {
             EXPECT_EQ(out.substr(0, 6), "<html>");
             EXPECT_NE(out.find("<p>x</p>"), std::string::npos);
         }},
        {"MarkdownManyLineBreaksStillPrettyPrinted", TextActionType::markdownToHtml, {},
         [] { return repeat("a<br>\n", 12'000); },
         [](const std::string&, const std::string& out) { EXPECT_EQ(out.substr(0, 6), "<html>"); }},
        // The XML library compares each attribute with every earlier one.
        {"Xml100kAttributes", TextActionType::XML, {}, [] { return elementWithAttributes(100'000); },
         equals(TextActionXML::notValidMarker)},
        {"XmlToJson100kAttributes", TextActionType::XMLtoJSON, {}, [] { return elementWithAttributes(100'000); },
         equals(TextActionXMLtoJSON::notValidXmlMarker)},
        {"XmlManyAttributesBelowTheLimitStillPrint", TextActionType::XML, {},
         [] { return elementWithAttributes(5'000); },
         [](const std::string&, const std::string& out) {
             EXPECT_EQ(out.substr(0, 9), "<e a0=\"0\"");
             EXPECT_NE(out.find(" a4999=\"4999\"/>"), std::string::npos);
         }},
        // One enormous line through the line actions.
        {"TrimLines10MbLine", TextActionType::trimLines, {}, tenMegabyteLine, unchanged()},
        {"SortLines10MbLine", TextActionType::reorderLines, {}, tenMegabyteLine, unchanged()},
        {"RemoveDuplicates10MbLine", TextActionType::removeDuplicates, {}, tenMegabyteLine, unchanged()},
        {"RemoveMultipleSpaces10MbLine", TextActionType::removeMultipleSpaces, {}, tenMegabyteLine,
         [](const std::string& in, const std::string& out) {
             EXPECT_EQ(out.find("  "), std::string::npos);
             EXPECT_EQ(out.size(), in.size() - 10 * 1024 * 1024 / 9);
         }},
        {"NumberLines10MbLine", TextActionType::numberLines, {}, tenMegabyteLine,
         [](const std::string& in, const std::string& out) {
             EXPECT_GT(out.size(), in.size());
             EXPECT_EQ(out.substr(out.size() - in.size()), in);
         }},
        // Catastrophic backtracking ends at the time limit with the marker.
        {"RegexCatastrophicBacktracking",
         TextActionType::replaceString,
         {{"ReplaceString", Value("(a+)+$")}, {"WithString", Value("x")}, {"isRegEx", Value(true)}},
         [] { return repeat("a", 5'000) + "b"; },
         startsWith(TextActionReplaceString::timedOutMarker),
         40},
        // Numbers far beyond what words or dates can express.
        {"SpellOut4000Digits", TextActionType::spellOutNumbers, {}, [] { return repeat("9", 4'000); }, notEmpty()},
        {"SpellOutManyNumbers", TextActionType::spellOutNumbers, {}, [] { return repeat("123456 ", 20'000); },
         notEmpty()},
        {"UnixTimeFrom100kDigits", TextActionType::dateConverter, {{"DateConverterType", Value(std::int64_t{0})}},
         [] { return repeat("1", 100'000); }, notEmpty()},
        {"HumanDateFrom100kDigits", TextActionType::dateConverter, {{"DateConverterType", Value(std::int64_t{1})}},
         [] { return repeat("1", 100'000); }, notEmpty()},
        {"DateFormatFrom100kDigits", TextActionType::dateConverter, {{"DateConverterType", Value(std::int64_t{2})}},
         [] { return repeat("1", 100'000); }, notEmpty()},
    };
}

class BoundedRuns : public ::testing::TestWithParam<BoundedCase> {};

TEST_P(BoundedRuns, FinishesInBoundedTime) {
    const BoundedCase& c = GetParam();
    auto action = makeDefault(c.type);
    ASSERT_TRUE(action);
    for (const auto& [key, value] : c.options) ASSERT_TRUE(action->setOption(key, value)) << key;
    const std::string input = c.input();
    const auto started = Clock::now();
    const std::string output = action->transform(input);
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    EXPECT_LT(seconds, c.maxSeconds);
    c.check(input, output);
}

INSTANTIATE_TEST_SUITE_P(Hostile, BoundedRuns, ::testing::ValuesIn(boundedCases()),
                         [](const ::testing::TestParamInfo<BoundedCase>& param) { return param.param.name; });

} // namespace
