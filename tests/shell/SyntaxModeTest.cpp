#include "shell/SyntaxMode.h"

#include "actions/data/TextActionJSONtoCSV.h"
#include "actions/data/TextActionYAMLtoJSON.h"
#include "core/ActionFactory.h"

#include <gtest/gtest.h>

#include <vector>

namespace lexorra::testing {
namespace {

using shell::SyntaxMode;

struct Step {
    TextActionType type;
    bool enabled = true;
    int conversion = -1; // for the two-way converters
};

TextActionSeq sequence(const std::vector<Step>& steps) {
    TextActionSeq seq("test");
    for (const Step& step : steps) {
        auto action = makeDefault(step.type);
        if (auto* yaml = dynamic_cast<TextActionYAMLtoJSON*>(action.get()); yaml && step.conversion >= 0)
            yaml->conversion = YAMLType(step.conversion);
        if (auto* csv = dynamic_cast<TextActionJSONtoCSV*>(action.get()); csv && step.conversion >= 0)
            csv->conversion = JSONtoCSVType(step.conversion);
        action->setEnabled(step.enabled);
        seq.actionsArray.push_back(action);
    }
    return seq;
}

struct Case {
    const char* what;
    std::vector<Step> steps;
    SyntaxMode input;
    SyntaxMode result;
    std::optional<SyntaxMode> given = {}; // the input's kind as the user told it
};

TEST(SyntaxModeTest, InputAndResultModesFollowWhatTheActionsReadAndWrite) {
    using M = SyntaxMode;
    using T = TextActionType;
    const std::vector<Case> cases = {
        {"beautify JSON", {{T::JSON}}, M::json, M::json},
        {"beautify XML", {{T::XML}}, M::xml, M::xml},
        {"XML to JSON", {{T::XMLtoJSON}}, M::xml, M::json},
        {"CSV to Markdown table", {{T::csvToMarkdown}}, M::csv, M::markdown},
        {"Markdown to HTML", {{T::markdownToHtml}}, M::markdown, M::html},
        {"YAML to JSON", {{T::yaml, true, int(YAMLType::toJson)}}, M::yaml, M::json},
        {"JSON to YAML", {{T::yaml, true, int(YAMLType::toYAML)}}, M::json, M::yaml},
        {"JSON to CSV", {{T::JSONtoCSV, true, int(JSONtoCSVType::toCSV)}}, M::json, M::csv},
        {"CSV to JSON", {{T::JSONtoCSV, true, int(JSONtoCSVType::toJson)}}, M::csv, M::json},
        {"a line edit", {{T::reorderLines}}, M::plain, M::plain},
        {"QR code", {{T::generateQRCode}}, M::plain, M::plain},
        {"empty workflow", {}, M::plain, M::plain},
        {"line edits around a formatter keep its kind", {{T::trimLines}, {T::JSON}, {T::replaceString}}, M::json,
         M::json},
        {"a chain of converters", {{T::XMLtoJSON}, {T::yaml, true, int(YAMLType::toYAML)}}, M::xml, M::yaml},
        {"an encoder first hides what the later formatter wants", {{T::encodeDecode}, {T::JSON}}, M::plain, M::json},
        {"a report at the end is plain", {{T::JSON}, {T::stats}}, M::json, M::plain},
        {"disabled actions count for nothing", {{T::JSON, false}, {T::reorderLines}}, M::plain, M::plain},
        {"a disabled converter between", {{T::csvToMarkdown}, {T::markdownToHtml, false}}, M::csv, M::markdown},
        {"the kind the user tells carries through line edits", {{T::reorderLines}}, M::plain, M::yaml, M::yaml},
        {"a converter writes its kind", {{T::JSONtoCSV, true, int(JSONtoCSVType::toCSV)}}, M::json, M::csv, M::yaml},
    };
    for (const Case& c : cases) {
        const TextActionSeq seq = sequence(c.steps);
        EXPECT_EQ(shell::inputSyntax(seq), c.input) << c.what;
        EXPECT_EQ(shell::resultSyntax(seq, c.given), c.result) << c.what;
    }
}

TEST(SyntaxModeTest, NamesRoundTripAndUnknownNamesAreRefused) {
    for (SyntaxMode mode : shell::allSyntaxModes) {
        EXPECT_EQ(shell::syntaxModeFromName(shell::syntaxModeName(mode)), mode);
        EXPECT_FALSE(shell::syntaxModeLabel(mode).isEmpty());
    }
    EXPECT_EQ(shell::syntaxModeFromName("JSON"), std::nullopt); // names are lower case
    EXPECT_EQ(shell::syntaxModeFromName(""), std::nullopt);
    EXPECT_EQ(shell::syntaxModeFromName("toml"), std::nullopt);
}

} // namespace
} // namespace lexorra::testing
