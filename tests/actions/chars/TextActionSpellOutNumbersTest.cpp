#include "actions/chars/TextActionSpellOutNumbers.h"

#include "support/ActionCases.h"
#include "text/NumberSpellOut.h"
#include "text/WordBreakTokens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lexorra;

namespace {

struct Case {
    const char* name;
    const char* locale;
    std::string input;
    std::string expected;
};

TEST(SpellOut, SpellsOut) {
    const Case cases[] = {
        {"integer in a sentence", "en", "I have 3 apples", "I have three apples"},
        {"compound number", "en", "42", "forty-two"},
        {"large number", "en", "1000000", "one million"},
        {"decimal fraction", "en", "3.5", "three point five"},
        {"fraction then full stop", "en", "It is 3.5.", "It is three point five."},
        {"letter and digit stay", "en", "a2 b", "a2 b"},
        {"digits then letters stay", "en", "1700000000abc", "1700000000abc"},
        {"grouped digits stay", "en", "1,000", "1,000"},
        {"minus stays a dash token", "en", "-7", "-seven"},
        {"exponent form is a fraction", "en", "1e3", "one thousand"},
        {"zero", "en", "0", "zero"},
        {"no digits unchanged", "en", "nothing here, really!", "nothing here, really!"},
        {"every line kept", "en", "1\n\n2\n", "one\n\ntwo\n"},
        {"crlf kept", "en", "1\r\n2", "one\r\ntwo"},
        {"other scripts' digits stay", "en", "\u0663", "\u0663"},
        {"largest 64-bit range by the locale's rules", "en", "999999999999999999",
         "nine hundred ninety-nine quadrillion nine hundred ninety-nine trillion nine hundred ninety-nine billion "
         "nine hundred ninety-nine million nine hundred ninety-nine thousand nine hundred ninety-nine"},
        {"beyond 64 bits is not garbled", "en", "100000000000000000000", "100,000,000,000,000,000,000"},
        {"beyond double precision", "en", "12345678901234567890123.5", "12,345,678,901,234,567,890,123.5"},
        {"fraction beyond double precision spells the whole number", "en", "100000000000000000.5",
         "one hundred quadrillion"},
        {"beyond 64 bits groups digits in the POSIX locale too", "en_US_POSIX", "10000000000000000000",
         "10,000,000,000,000,000,000"},
        {"german", "de", "3 und 2.5", "drei und zwei Komma fünf"},
        {"french", "fr", "21", "vingt-et-un"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(spellOutNumbers(c.input, icu::Locale(c.locale)), c.expected) << c.name;
}

TEST(SpellOut, NumberReadings) {
    EXPECT_EQ(text::parseWholeNumber("+42"), 42);
    EXPECT_EQ(text::parseWholeNumber("-42"), -42);
    EXPECT_FALSE(text::parseWholeNumber("+-4"));
    EXPECT_FALSE(text::parseWholeNumber("4.0"));
    EXPECT_FALSE(text::parseWholeNumber("99999999999999999999"));
    EXPECT_EQ(text::parseDecimalFraction("5."), 5.0);
    EXPECT_EQ(text::parseDecimalFraction(".5"), 0.5);
    EXPECT_EQ(text::parseDecimalFraction("2.5e-1"), 0.25);
    EXPECT_FALSE(text::parseDecimalFraction("."));
    EXPECT_FALSE(text::parseDecimalFraction("1e"));
    EXPECT_FALSE(text::parseDecimalFraction("0x1p3"));
    EXPECT_FALSE(text::parseDecimalFraction("1e999"));
}

TEST(SpellOut, ActionUsesTheUserLocale) {
    lexorra::testing::ScopedLocale locale("en_US");
    EXPECT_EQ(TextActionSpellOutNumbers().transform("7 days"), "seven days");
    locale.set("de_DE");
    EXPECT_EQ(TextActionSpellOutNumbers().transform("7 Tage"), "sieben Tage");
}

} // namespace
