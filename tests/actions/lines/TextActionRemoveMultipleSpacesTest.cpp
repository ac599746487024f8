#include "actions/lines/TextActionRemoveMultipleSpaces.h"
#include "core/ActionFactory.h"

#include <gtest/gtest.h>

using namespace lexorra;

TEST(TextActionRemoveMultipleSpaces, Transform) {
    const struct {
        const char* name;
        std::string input;
        std::string expected;
    } cases[] = {
        {"five spaces", "a     b", "a b"},
        {"two and three", "a  b   c", "a b c"},
        {"single spaces stay", "a b c", "a b c"},
        {"leading and trailing runs become one space", "   a   ", " a "},
        {"only spaces", "    ", " "},
        {"tab between spaces is untouched", "a \t b", "a \t b"},
        {"tabs are not collapsed", "a\t\tb", "a\t\tb"},
        {"no-break spaces are not spaces", "a\u00a0\u00a0b", "a\u00a0\u00a0b"},
        {"runs on several lines", "a  \n  b", "a \n b"},
        {"empty input", "", ""},
    };
    const TextActionRemoveMultipleSpaces action;
    for (const auto& c : cases) EXPECT_EQ(action.transform(c.input), c.expected) << c.name;
    EXPECT_FALSE(makeDefault(TextActionType::removeMultipleSpaces)->hasOptions());
}
