#include "actions/lines/TextActionRemoveLineBreaks.h"
#include "core/ActionFactory.h"

#include <gtest/gtest.h>

using namespace lexorra;

TEST(TextActionRemoveLineBreaks, Transform) {
    const struct {
        const char* name;
        std::string input;
        std::string expected;
    } cases[] = {
        {"two lines", "a\nb", "ab"},
        {"no space is inserted", "a \n b", "a  b"},
        {"empty lines vanish", "a\n\n\nb\n", "ab"},
        {"empty input", "", ""},
        {"carriage returns stay", "a\r\nb\r\n", "a\rb\r"},
        {"other newline characters stay", "a\u2028b\vc", "a\u2028b\vc"},
    };
    const TextActionRemoveLineBreaks action;
    for (const auto& c : cases) EXPECT_EQ(action.transform(c.input), c.expected) << c.name;
    EXPECT_FALSE(makeDefault(TextActionType::removeLineBreaks)->hasOptions());
}
