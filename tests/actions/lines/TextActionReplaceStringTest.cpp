#include "actions/lines/TextActionReplaceString.h"
#include "core/RunToken.h"
#include "core/TextActionSeq.h"
#include "support/ActionCases.h"
#include "text/Cancellation.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace lexorra;

namespace {

struct Case {
    const char* name;
    std::string input;
    std::string find;
    std::string with;
    bool caseSensitive;
    bool isRegEx;
    std::string expected;
};

std::string run(const Case& c) {
    TextActionReplaceString a;
    a.replaceString = c.find;
    a.withString = c.with;
    a.caseSensitive = c.caseSensitive;
    a.isRegEx = c.isRegEx;
    return a.transform(c.input);
}

} // namespace

TEST(ReplaceString, Table) {
    const Case cases[] = {
        {"empty input", "", "a", "b", false, false, ""},
        {"empty find", "abc", "", "x", false, false, "abc"},
        {"case-insensitive", "Cat cat CAT", "cat", "dog", false, false, "dog dog dog"},
        {"case-sensitive", "Cat cat CAT", "cat", "dog", true, false, "Cat dog CAT"},
        {"escaped line feed in find", "a\nb a\\nb", "a\\nb", "X", true, false, "X a\\nb"},
        {"doubled backslash means the characters", "a\nb a\\nb", "a\\\\nb", "X", true, false, "a\nb X"},
        {"line feed in replacement", "a b", " ", "\\n", true, false, "a\nb"},
        {"regex characters are literal", "a.b a+b", ".", "!", true, false, "a!b a+b"},
        {"dollar is literal", "x", "x", "$0", true, false, "$0"},
        {"canonical equivalence", "cafe\u0301", "caf\u00E9", "tea", true, false, "tea"},
        // A Korean syllable written in parts is one character, as its one-code-point form is.
        {"no match inside a syllable in parts", "\u1112\u1161\u11AB\u1100\u116E\u11A8", "\uD558", "X", true, false,
         "\u1112\u1161\u11AB\u1100\u116E\u11A8"},
        {"no match inside a whole syllable", "\uD55C\uAD6D", "\uD558", "X", true, false, "\uD55C\uAD6D"},
        {"a whole syllable finds its parts", "\u1112\u1161\u11AB\u1100\u116E\u11A8", "\uD55C", "X", true, false,
         "X\u1100\u116E\u11A8"},
        // Regular expressions
        {"empty input", "", "a", "b", false, true, ""},
        {"empty find in case-insensitive mode", "abc", "", "x", false, true, "abc"},
        {"groups in template", "a1b22", "(\\d+)", "[$1]", true, true, "a[1]b[22]"},
        {"caret anchors every line", "ab\nab", "^a", "X", true, true, "Xb\nXb"},
        {"dollar anchors every line", "ab\nab", "b$", "X", true, true, "aX\naX"},
        {"case-insensitive", "ABC abc", "abc", "x", false, true, "x x"},
        {"case-sensitive", "ABC abc", "abc", "x", true, true, "ABC x"},
        {"line feed in replacement", "a,b", ",", "\\n", true, true, "a\nb"},
        {"pattern keeps its own escapes", "a\nb", "a\\nb", "X", true, true, "X"},
        {"escaped dollar", "a", "a", "\\$1", true, true, "$1"},
        {"unicode classes", "é1", "\\p{L}", "L", true, true, "L1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(c), c.expected) << c.name;
}

TEST(ReplaceString, InvalidPatternGivesTheMarker) {
    TextActionReplaceString a;
    a.replaceString = "(";
    a.isRegEx = true;
    EXPECT_EQ(a.transform("abc"), " -- Not valid RegEx -- ");
    EXPECT_TRUE(a.notValidRegEx);
    a.replaceString = "b";
    EXPECT_EQ(a.transform("abc"), "ac");
    EXPECT_FALSE(a.notValidRegEx);
}

TEST(ReplaceString, PlainPatternOverALongTextWithoutMatchesIsNoTimeOut) {
    // One search walks all twelve megabytes and finds nothing: long, but no backtracking.
    TextActionReplaceString a;
    a.replaceString = "\\d+x";
    a.withString = "y";
    a.isRegEx = true;
    const std::string input = lexorra::testing::repeat("1234567890 ", 1'100'000);
    EXPECT_EQ(a.transform(input), input);
}

TEST(ReplaceString, StaleRunStopsALongPatternAndLeavesTheTextAlone) {
    TextActionReplaceString a;
    a.replaceString = "(a+)+$";
    a.isRegEx = true;
    const std::string input = std::string(30000, 'a') + "b";
    CancellationScope stale([] { return true; });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(a.transform(input), input);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0);
}
