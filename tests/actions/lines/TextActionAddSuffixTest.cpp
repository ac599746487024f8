#include "actions/lines/TextActionAddSuffix.h"
#include "core/ActionFactory.h"

#include <gtest/gtest.h>

using namespace lexorra;

namespace {

struct Case {
    const char* name;
    std::string input;
    std::string affix;
    std::string expected;
};

std::string suffixed(const std::string& input, const std::string& suffix) {
    TextActionAddSuffix action;
    action.suffix = suffix;
    return action.transform(input);
}

} // namespace

TEST(TextActionAddSuffix, Transform) {
    const Case cases[] = {
        {"every line", "a\nb", ";", "a;\nb;"},
        {"empty middle line stays empty", "a\n\nb", ";", "a;\n\nb;"},
        {"empty input", "", ";", ""},
        {"trailing line feed", "a\n", ";", "a;\n"},
        {"CR LF gives an extra empty line", "a\r\nb\r\n", ";", "a;\n\nb;\n\n"},
        {"lone CR becomes a line feed", "a\rb", ";", "a;\nb;"},
        {"vertical tab and form feed", "a\vb\fc", ";", "a;\nb;\nc;"},
        {"NEL, LS and PS", "a\u0085b\u2028c\u2029d", ";", "a;\nb;\nc;\nd;"},
        {"backslash-n stays literal", "a", "\\n", "a\\n"},
        {"empty suffix still rejoins with line feeds", "a\rb", "", "a\nb"},
        {"non-breaking space is not a newline", "a\u00a0b", ";", "a\u00a0b;"},
        {"similar three-byte character is not a newline", "a\u2027b", ";", "a\u2027b;"},
    };
    for (const auto& c : cases) EXPECT_EQ(suffixed(c.input, c.affix), c.expected) << c.name;
}

TEST(TextActionAddSuffix, DictionaryForm) {
    TextActionAddSuffix action;
    action.suffix = "!";
    const Dictionary d = action.toDictionary();
    std::vector<std::string> keys;
    for (const auto& [key, value] : d.asMap()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"Name", "Id", "Type", "Suffix"}));
    EXPECT_EQ(*d.get("Type"), Value(5));
    auto copy = action.copy();
    EXPECT_NE(copy->id, action.id);
    EXPECT_EQ(copy->transform("a\nb"), "a!\nb!");
}
