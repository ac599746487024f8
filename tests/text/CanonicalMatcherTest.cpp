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

// Containment and prefixes over letters, marks in any order, composed and decomposed forms
// and the Kelvin sign are compared with a naive search on random text; these are the
// characters that comparison leaves out: line ends, emoji sequences, flags, and a mark that is
// canonically a semicolon.
TEST(CanonicalMatcher, ClustersOutsideTheRandomComparison) {
    const Case cases[] = {
        {"zero width joiner extends an emoji", "\U0001F469", "\U0001F469\u200D\U0001F4BB", false},
        {"CR LF is one character", "a\r", "a\r\nb", false},
        {"flags compare as pairs", "\U0001F1E9\U0001F1EA", "\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7", true},
        {"half a flag is not a prefix", "\U0001F1E9", "\U0001F1E9\U0001F1EA", false},
    };
    for (const auto& c : cases) {
        CanonicalMatcher matcher(c.needle);
        EXPECT_EQ(matcher.isPrefixOf(c.text), c.expected) << c.name;
        // The matcher keeps state between calls; a second call must agree.
        EXPECT_EQ(matcher.isPrefixOf(c.text), c.expected) << c.name << " (again)";
    }
    EXPECT_TRUE(CanonicalMatcher("a;").isContainedIn("a\u037E")) << "Greek question mark";
}
