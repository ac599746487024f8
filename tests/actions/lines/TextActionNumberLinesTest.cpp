#include "actions/lines/TextActionNumberLines.h"
#include "core/ActionFactory.h"
#include "core/Json.h"

#include <gtest/gtest.h>

#include <limits>

using namespace lexorra;

namespace {

struct Case {
    const char* name;
    std::string input;
    const char* options; // JSON object of stored option values
    std::string expected;
};

std::string numbered(const Case& c) {
    auto stored = json::parse(c.options);
    EXPECT_TRUE(stored) << c.name;
    TextActionNumberLines action;
    for (const auto& [key, value] : stored->asMap())
        EXPECT_TRUE(action.setOption(key, value)) << c.name << " " << key;
    return action.transform(c.input);
}

} // namespace

TEST(TextActionNumberLines, Table) {
    const Case cases[] = {
        {"defaults", "a\nb\nc", "{}", "001.a\n002.b\n003.c"},
        {"empty input is one line", "", "{}", "001."},
        {"trailing line feed numbers the empty last line", "a\n", "{}", "001.a\n002."},
        {"empty lines are numbered", "\n\n", "{}", "001.\n002.\n003."},
        {"at the end", "a", R"({"NumberLinePositionType":1})", "a001."},
        {"CR stays before the number at the end", "a\r\nb", R"({"NumberLinePositionType":1})", "a\r001.\nb002."},
        {"negative start counts the sign in the width", "a\nb\nc", R"({"StartValue":-1})", "-01.a\n000.b\n001.c"},
        {"step of zero", "a\nb", R"({"StepValue":0,"StartValue":7})", "007.a\n007.b"},
        {"negative step counts down", "a\nb\nc", R"({"StepValue":-5,"StartValue":5,"NumberOfDigits":2})",
         "05.a\n00.b\n-5.c"},
        {"longer numbers are not cut", "a", R"({"StartValue":12345,"NumberOfDigits":2})", "12345.a"},
        {"prefix and suffix are literal", "a", R"({"NumberPrefix":"%d[","NumberSuffix":"]% "})", "%d[001]% a"},
        {"no padding at width zero", "a", R"({"NumberOfDigits":0})", "1.a"},
        {"negative width left-aligns", "a", R"({"NumberOfDigits":-4})", "1   .a"},
        {"step and width", "a\nb", R"({"StartValue":10,"StepValue":10,"NumberOfDigits":4,"NumberSuffix":": "})",
         "0010: a\n0020: b"},
        // Roman numerals
        {"defaults roman", "a\nb", R"({"RomanNumerals":true})", "I.a\nII.b"},
        {"past 3999 is ??", "a\nb\nc", R"({"RomanNumerals":true,"StartValue":3998})",
         "MMMCMXCVIII.a\nMMMCMXCIX.b\n??.c"},
        {"zero and below are empty", "a\nb",
         R"({"RomanNumerals":true,"StartValue":0,"StepValue":-1,"NumberPrefix":"("})", "(.a\n(.b"},
        {"digits are ignored", "a", R"({"RomanNumerals":true,"NumberOfDigits":6,"NumberLinePositionType":1})", "aI."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(numbered(c), c.expected) << c.name;
}

TEST(TextActionNumberLines, RomanNumerals) {
    const std::pair<std::int64_t, const char*> numerals[] = {
        {1, "I"},    {3, "III"},      {4, "IV"},         {9, "IX"},           {14, "XIV"},  {40, "XL"}, {90, "XC"},
        {400, "CD"}, {944, "CMXLIV"}, {1994, "MCMXCIV"}, {3999, "MMMCMXCIX"}, {4000, "??"}, {0, ""},    {-3, ""},
    };
    for (const auto& [n, numeral] : numerals)
        EXPECT_EQ(romanNumeral(n), numeral) << n;
}

TEST(TextActionNumberLines, StoredValuesFarOutsideThePanel) {
    TextActionNumberLines action;
    action.startValue = std::numeric_limits<std::int64_t>::max();
    action.numberOfDigits = 1;
    EXPECT_EQ(action.transform("a\nb"), "9223372036854775807.a\n9223372036854775807.b");
    action.startValue = std::numeric_limits<std::int64_t>::min();
    action.stepValue = -1;
    EXPECT_EQ(action.transform("a\nb"), "-9223372036854775808.a\n-9223372036854775808.b");
    action.startValue = 1;
    action.numberOfDigits = 1'000'000'000;
    EXPECT_EQ(action.transform("a").size(), TextActionNumberLines::widestField + 2);
}

TEST(TextActionNumberLines, ReadingStoredValues) {
    struct Stored {
        const char* name;
        const char* json;
        const char* input;
        const char* expected;
    };
    const Stored cases[] = {
        {"missing suffix reads as underscore", R"({"Type":4,"NumberOfDigits":2,"StartValue":1,"StepValue":1})", "a",
         "01_a"},
        {"ill-typed suffix reads as underscore", R"({"Type":4,"NumberSuffix":7})", "a", "001_a"},
        {"stored suffix is kept", R"j({"Type":4,"NumberSuffix":")"})j", "a", "001)a"},
        {"position type outside the cases keeps the start", R"({"Type":4,"NumberLinePositionType":2})", "a", "001_a"},
        {"integral double is read", R"({"Type":4,"NumberSuffix":".","StartValue":9.0})", "a", "009.a"},
    };
    for (const auto& c : cases) {
        auto action = actionFromDictionary(*json::parse(c.json));
        ASSERT_TRUE(action) << c.name;
        EXPECT_EQ(action->transform(c.input), c.expected) << c.name;
    }
}
