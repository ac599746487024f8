#include "actions/lines/TextActionRemoveEmptyLines.h"
#include "core/ActionFactory.h"
#include "core/Json.h"

#include <gtest/gtest.h>

using namespace lexorra;

TEST(TextActionRemoveEmptyLines, Transform) {
    const struct {
        const char* name;
        bool onlyDouble;
        bool trim;
        std::string input;
        std::string expected;
    } cases[] = {
        {"defaults drop empty and blank lines", false, true, "a\n\n   \nb", "a\nb"},
        {"defaults trim kept lines", false, true, "  a \n\tb", "a\nb"},
        {"leading and trailing empty lines go", false, true, "\n\na\n\n", "a"},
        {"all empty", false, true, "\n \n", ""},
        {"empty input", false, true, "", ""},
        {"CR LF lines are trimmed to their text", false, true, "a\r\n\r\nb\r\n", "a\nb"},
        {"without trimming a space line stays", false, false, "a\n \n\nb ", "a\n \nb "},
        {"without trimming a CR line is not empty", false, false, "a\r\n\r\nb", "a\r\n\r\nb"},
        {"only double: a run shrinks to one", true, true, "a\n\n\n\nb", "a\n\nb"},
        {"only double: single empty line stays", true, true, "a\n\nb", "a\n\nb"},
        {"only double: leading run leaves one empty line", true, true, "\n\nx", "\nx"},
        {"only double: blank lines count as empty", true, true, "a\n \n\t\nb", "a\n\nb"},
        {"only double: trailing line feed kept", true, true, "a\n", "a\n"},
        {"only double without trimming", true, false, "a\n\n \n\n\nb", "a\n\n \n\nb"},
    };
    for (const auto& c : cases) {
        TextActionRemoveEmptyLines action;
        action.onlyDoubleEmptyLines = c.onlyDouble;
        action.trimLinesBeforeApply = c.trim;
        EXPECT_EQ(action.transform(c.input), c.expected) << c.name;
    }
}

TEST(TextActionRemoveEmptyLines, DictionaryForm) {
    TextActionRemoveEmptyLines action;
    const Dictionary d = action.toDictionary();
    std::vector<std::string> keys;
    for (const auto& [key, value] : d.asMap()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"Name", "Id", "Type", "OnlyDoubleEmptyLines", "TrimLinesBeforeApply"}));
    EXPECT_EQ(*d.get("Type"), Value(6));
    EXPECT_EQ(*d.get("OnlyDoubleEmptyLines"), Value(false));
    EXPECT_EQ(*d.get("TrimLinesBeforeApply"), Value(true));

    auto restored = actionFromDictionary(*json::parse(R"({"Type":6,"OnlyDoubleEmptyLines":1})"));
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->optionValue("OnlyDoubleEmptyLines"), Value(true));
    EXPECT_EQ(restored->optionValue("TrimLinesBeforeApply"), Value(true));
    restored = actionFromDictionary(*json::parse(R"({"Type":6,"TrimLinesBeforeApply":"no"})"));
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->optionValue("TrimLinesBeforeApply"), Value(true));
}
