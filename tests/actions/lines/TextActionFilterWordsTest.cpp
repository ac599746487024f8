#include "actions/lines/TextActionFilterWords.h"
#include "core/ActionFactory.h"
#include "core/Json.h"

#include <gtest/gtest.h>

using namespace lexorra;

namespace {

using T = FilterWordsType;

struct Case {
    const char* name;
    T type;
    std::string check;
    std::string input;
    std::string expected;
};

} // namespace

TEST(TextActionFilterWords, Transform) {
    const Case cases[] = {
        {"containing", T::containingText, "b", "a b c", "a c"},
        {"first word removed keeps the following space", T::containingText, "a", "a b c", " b c"},
        {"last word removed takes its space", T::containingText, "c", "a b c", "a b"},
        {"space at the end of a line stays", T::containingText, "c", "a c ", "a "},
        {"several spaces go with the word", T::containingText, "b", "a   b c", "a c"},
        {"line structure is kept", T::containingText, "x", "x\nax b\nc x", "\n b\nc"},
        {"trailing white space of the previous line stays", T::containingText, "b", "a \n  b c", "a \n c"},
        {"blank line between stays", T::containingText, "y", "x\n   \ny", "x\n   \n"},
        {"empty input", T::containingText, "a", "", ""},
        {"empty check is never contained", T::containingText, "", "a b", "a b"},
        {"not containing with empty check removes every word", T::notContainingText, "", "a b\nc ", "\n "},
        {"starting with", T::startingWithText, "un", "undo redo unit", " redo"},
        {"starting with empty check removes every word", T::startingWithText, "", " a\tb", ""},
        {"not starting with", T::notStartingWithText, "#", "#tag word #x", "#tag #x"},
        {"not containing", T::notContainingText, "o", "one two six", "one two"},
        {"case-sensitive", T::containingText, "cat", "Cat cat CAT", "Cat CAT"},
        {"tab and no-break space separate words", T::containingText, "b", "a\tb\u00a0c", "a\u00a0c"},
        {"CR is white space", T::containingText, "b", "a b\r\nc", "a\r\nc"},
        {"canonically equivalent check", T::containingText, "\u00e9", "cafe\u0301 the", " the"},
        {"prefix by whole characters", T::startingWithText, "e", "e\u0301tat et", "e\u0301tat"},
    };
    for (const auto& c : cases) {
        TextActionFilterWords action;
        action.filterWordsType = c.type;
        action.checkText = c.check;
        EXPECT_EQ(action.transform(c.input), c.expected) << c.name;
    }
}

TEST(TextActionFilterWords, DictionaryForm) {
    TextActionFilterWords action;
    action.filterWordsType = T::startingWithText;
    action.checkText = "pre";
    const Dictionary d = action.toDictionary();
    std::vector<std::string> keys;
    for (const auto& [key, value] : d.asMap()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"Name", "Id", "Type", "CheckText", "FilterWordsType"}));
    EXPECT_EQ(*d.get("Type"), Value(17));
    auto restored = actionFromDictionary(*json::parse(json::write(d)));
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->toDictionary(), d);
    EXPECT_EQ(restored->transform("prefix fix"), " fix");

    restored = actionFromDictionary(*json::parse(R"({"Type":17,"FilterWordsType":"1","CheckText":5})"));
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->optionValue("FilterWordsType"), Value(0));
    EXPECT_EQ(restored->optionValue("CheckText"), Value(""));
}
