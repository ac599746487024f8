#include "text/CanonicalMatcher.h"

#include <gtest/gtest.h>

using lexorra::text::CanonicalMatcher;

namespace {

struct Case {
    const char* name;
    std::string needle;
    std::string text;
    bool expected;
};

} // namespace

TEST(CanonicalMatcher, Contains) {
    const Case cases[] = {
        {"ASCII in ASCII", "ab", "xaby", true},
        {"ASCII absent", "ab", "a b", false},
        {"empty needle is never contained", "", "abc", false},
        {"nothing is contained in the empty text", "a", "", false},
        {"ASCII needle before an accented letter", "ab", "xab\u00e9", true},
        {"ASCII needle cut off by a combining mark", "cafe", "cafe\u0301", false},
        {"a later occurrence that ends cleanly", "ab", "abe\u0301 ab\u00e9", true},
        {"ASCII needle before a combining mark only", "e", "e\u0301", false},
        {"Kelvin sign in the text matches K", "K", "\u212Aelvin", true},
        {"Greek question mark matches a semicolon", "a;", "a\u037E", true},
        {"composed needle, decomposed text", "\u00e9t\u00e9", "l'e\u0301te\u0301", true},
        {"decomposed needle, composed text", "e\u0301", "caf\u00e9", true},
        {"marks in another order are equivalent", "a\u0327\u0301", "a\u0301\u0327", true},
        {"case-sensitive", "\u00c9", "\u00e9", false},
    };
    for (const auto& c : cases) EXPECT_EQ(CanonicalMatcher(c.needle).isContainedIn(c.text), c.expected) << c.name;
}

TEST(CanonicalMatcher, Prefix) {
    const Case cases[] = {
        {"ASCII prefix", "ab", "abc", true},
        {"whole text", "ab", "ab", true},
        {"longer needle", "abc", "ab", false},
        {"empty needle prefixes everything", "", "", true},
        {"empty text has no other prefix", "a", "", false},
        {"combining mark extends the last character", "e", "e\u0301t", false},
        {"zero width joiner extends an emoji", "\U0001F469", "\U0001F469\u200D\U0001F4BB", false},
        {"CR LF is one character", "a\r", "a\r\nb", false},
        {"composed needle, decomposed text", "\u00e9", "e\u0301t\u00e9", true},
        {"decomposed needle, composed text", "e\u0301", "\u00e9t\u00e9", true},
        {"equal bytes followed by ASCII", "\u00e9", "\u00e9t\u00e9", true},
        {"equal bytes followed by a mark", "\u00e9", "\u00e9\u0301", false},
        {"different first letter", "\u00e9", "the", false},
        {"same base, different accent", "\u00e9", "\u00e8", false},
        {"Kelvin sign equals K", "K", "\u212A", true},
        {"K equals the Kelvin sign", "\u212A", "Kelvin", true},
        {"flags compare as pairs", "\U0001F1E9\U0001F1EA", "\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7", true},
        {"half a flag is not a prefix", "\U0001F1E9", "\U0001F1E9\U0001F1EA", false},
    };
    for (const auto& c : cases) {
        CanonicalMatcher matcher(c.needle);
        EXPECT_EQ(matcher.isPrefixOf(c.text), c.expected) << c.name;
        // The matcher keeps state between calls; a second call must agree.
        EXPECT_EQ(matcher.isPrefixOf(c.text), c.expected) << c.name << " (again)";
    }
}
