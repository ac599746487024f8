#include "actions/lines/TextActionDeleteLines.h"
#include "core/ActionFactory.h"
#include "core/Json.h"

#include <gtest/gtest.h>

using namespace lexorra;

namespace {

using T = DeleteLinesType;

struct Case {
    const char* name;
    T type;
    std::string check;
    std::string input;
    std::string expected;
};

} // namespace

TEST(TextActionDeleteLines, Transform) {
    const Case cases[] = {
        {"containing", T::containingText, "b", "abc\nxyz\nb", "xyz"},
        {"containing keeps empty lines", T::containingText, "x", "a\n\nx\nb", "a\n\nb"},
        {"containing with empty check keeps all", T::containingText, "", "a\n\nb", "a\n\nb"},
        {"not containing with empty check removes all", T::notContainingText, "", "a\n\nb", ""},
        {"not containing", T::notContainingText, "o", "one\ntwo\nsix", "one\ntwo"},
        {"starting with", T::startingWithText, "#", "#c\ncode\n #x", "code\n #x"},
        {"starting with empty check removes all", T::startingWithText, "", "a\n\nb", ""},
        {"not starting with empty check keeps all", T::notStartingWithText, "", "a\n\nb", "a\n\nb"},
        {"not starting with", T::notStartingWithText, "- ", "- a\nb\n- c", "- a\n- c"},
        {"case-sensitive", T::containingText, "word", "Word\nWORD\nword", "Word\nWORD"},
        {"every line removed gives empty output", T::containingText, "a", "a\nab\nba", ""},
        {"trailing empty line is a line", T::startingWithText, "a", "a\nb\n", "b\n"},
        {"check longer than the line", T::startingWithText, "abc", "ab\nabcd", "ab"},
        {"check text with a line feed never matches a line", T::containingText, "a\nb", "a\nb", "a\nb"},
        {"CR belongs to its line", T::containingText, "\r", "a\r\nb\r\nc", "c"},
        {"composed check finds decomposed text", T::containingText, "\u00e9", "cafe\u0301\ncafe", "cafe"},
        {"decomposed check finds composed text", T::containingText, "e\u0301", "caf\u00e9\ncafe", "cafe"},
        {"base letter does not match a composed one", T::containingText, "e", "\u00e9\ne\u0301\nx", "\u00e9\ne\u0301\nx"},
        {"starts with an equivalent character", T::startingWithText, "\u00e9", "e\u0301t\u00e9\net\u00e9", "et\u00e9"},
        {"base letter is not a prefix of its accented form", T::startingWithText, "e", "e\u0301t\net", "e\u0301t"},
        {"ASCII prefix before an accented rest", T::startingWithText, "ab", "ab\u00e9\nabe\u0301", ""},
        {"emoji prefix is a whole character", T::startingWithText, "\U0001F44D", "\U0001F44D\U0001F3FD\n\U0001F44Dx",
         "\U0001F44D\U0001F3FD"},
        {"Kelvin sign equals K", T::startingWithText, "K", "\u212Aelvin\nkelvin", "kelvin"},
    };
    for (const auto& c : cases) {
        TextActionDeleteLines action;
        action.deleteLinesType = c.type;
        action.checkText = c.check;
        EXPECT_EQ(action.transform(c.input), c.expected) << c.name;
    }
}

TEST(TextActionDeleteLines, DictionaryForm) {
    TextActionDeleteLines action;
    action.deleteLinesType = T::notStartingWithText;
    action.checkText = "x";
    const Dictionary d = action.toDictionary();
    std::vector<std::string> keys;
    for (const auto& [key, value] : d.asMap()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"Name", "Id", "Type", "CheckText", "DeleteLinesType"}));
    EXPECT_EQ(*d.get("Type"), Value(11));
    EXPECT_EQ(*d.get("DeleteLinesType"), Value(3));
    auto restored = actionFromDictionary(*json::parse(json::write(d)));
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->toDictionary(), d);

    restored = actionFromDictionary(*json::parse(R"({"Type":11,"DeleteLinesType":4,"CheckText":"a"})"));
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->optionValue("DeleteLinesType"), Value(0));
    EXPECT_EQ(restored->transform("a\nb"), "b");
}
