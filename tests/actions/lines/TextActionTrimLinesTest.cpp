#include "actions/lines/TextActionTrimLines.h"
#include "core/ActionFactory.h"

#include <gtest/gtest.h>

using namespace lexorra;

TEST(TextActionTrimLines, Transform) {
    const struct {
        const char* name;
        std::string input;
        std::string expected;
    } cases[] = {
        {"spaces and tabs", "  a \n\tb\t", "a\nb"},
        {"inner white space stays", " a  b ", "a  b"},
        {"trailing line feed keeps the empty last line", "a \n", "a\n"},
        {"white space lines become empty", "a\n \t \nb", "a\n\nb"},
        {"CR at the end of a line is trimmed", "a\r\nb\r\n", "a\nb\n"},
        {"unicode spaces", "\u3000\u00a0a\u2003\u202f", "a"},
        {"other newline characters are trimmed", "\u2028a\u0085\v\f", "a"},
        {"zero width space is not white space", "\u200ba\u200b", "\u200ba\u200b"},
        {"combining mark after a space is kept", " \u0301a", "\u0301a"},
        {"empty input", "", ""},
        {"only line feeds", "\n\n", "\n\n"},
    };
    const TextActionTrimLines action;
    for (const auto& c : cases) EXPECT_EQ(action.transform(c.input), c.expected) << c.name;
}

TEST(TextActionTrimLines, HasNoOptions) {
    auto action = makeDefault(TextActionType::trimLines);
    EXPECT_FALSE(action->hasOptions());
    EXPECT_FALSE(action->showDetails());
    EXPECT_EQ(action->toDictionary().asMap().size(), 3u);
    EXPECT_EQ(action->copy()->transform(" x "), "x");
}
