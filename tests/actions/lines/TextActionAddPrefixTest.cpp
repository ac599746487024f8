#include "actions/lines/TextActionAddPrefix.h"
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

std::string prefixed(const std::string& input, const std::string& prefix) {
    TextActionAddPrefix action;
    action.prefix = prefix;
    return action.transform(input);
}

} // namespace

TEST(TextActionAddPrefix, Transform) {
    const Case cases[] = {
        {"every line", "a\nb", "> ", "> a\n> b"},
        {"empty middle line stays empty", "a\n\nb", "-", "-a\n\n-b"},
        {"empty input", "", "-", ""},
        {"trailing line feed keeps empty last line", "a\n", "-", "-a\n"},
        {"only line feeds", "\n\n", "-", "\n\n"},
        {"backslash-n is a line break", "a\nb", "\\n", "\na\n\nb"},
        {"doubled backslash still escapes the n", "a", "\\\\n", "\\\na"},
        {"backslash-t is literal", "a", "\\t", "\\ta"},
        {"carriage return stays in its line", "a\r\nb\r\n", "#", "#a\r\n#b\r\n"},
        {"line of a lone CR is not empty", "\r", "#", "#\r"},
        {"other newlines do not split", "a\u2028b", "#", "#a\u2028b"},
        {"empty prefix", "a\n\nb", "", "a\n\nb"},
        {"percent is literal", "x", "%d ", "%d x"},
    };
    for (const auto& c : cases) EXPECT_EQ(prefixed(c.input, c.affix), c.expected) << c.name;
}

TEST(TextActionAddPrefix, DictionaryForm) {
    TextActionAddPrefix action;
    action.prefix = "- ";
    const Dictionary d = action.toDictionary();
    ASSERT_TRUE(d.isMap());
    std::vector<std::string> keys;
    for (const auto& [key, value] : d.asMap()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"Name", "Id", "Type", "Prefix"}));
    EXPECT_EQ(*d.get("Type"), Value(1));

    auto restored = fromDictionary(TextActionType::addPrefix, d);
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->id, action.id);
    EXPECT_EQ(restored->transform("x"), "- x");

    Dictionary missing;
    missing.set("Type", 1);
    auto fallback = fromDictionary(TextActionType::addPrefix, missing);
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->optionValue("Prefix"), Value(""));
}
