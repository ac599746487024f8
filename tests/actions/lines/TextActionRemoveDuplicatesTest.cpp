#include "actions/lines/TextActionRemoveDuplicates.h"

#include "support/ActionCases.h"

using namespace lexorra;
using namespace lexorra::testing;

namespace {

struct Case {
    const char* name;
    std::string input;
    std::int64_t duplicatesType;
    std::string expected;
};

const std::string eAcute = "\xC3\xA9";      // é precomposed
const std::string eCombining = "e\xCC\x81"; // e + U+0301
const std::string nbsp = "\xC2\xA0";

class RemoveDuplicatesTable : public ::testing::TestWithParam<Case> {};

TEST_P(RemoveDuplicatesTable, Transforms) {
    const Case& c = GetParam();
    EXPECT_EQ(runWith(TextActionType::removeDuplicates, {{"DuplicatesType", Value(c.duplicatesType)}}, c.input),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RemoveDuplicatesTable,
    ::testing::Values(Case{"keepsFirstOfEach", "a\nb\na\nc\nb", 0, "a\nb\nc"},
                      Case{"caseCounts", "a\nA\na", 0, "a\nA"},
                      Case{"leadingEmptyLineVanishes", "\na\nb", 0, "a\nb"},
                      Case{"laterEmptyLineKeptOnce", "a\n\nb\n\n", 0, "a\n\nb"},
                      Case{"trailingLineFeedIsAnEmptyLine", "a\na\n", 0, "a\n"},
                      Case{"canonicallyEquivalentAreEqual", eAcute + "\n" + eCombining + "\nx", 0, eAcute + "\nx"},
                      Case{"whitespaceCounts", "a\na \n a", 0, "a\na \n a"},
                      Case{"crIsPartOfTheLine", "a\r\na\na\r\n", 0, "a\r\na\n"},
                      Case{"emptyInput", "", 0, ""}),
    [](const auto& p) { return std::string(p.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Words, RemoveDuplicatesTable,
    ::testing::Values(Case{"repeatTakesTheLineFeedBeforeIt", "a b\na c", 1, "a b c"},
                      Case{"allRepeated", "a a a", 1, "a"},
                      Case{"spacesAroundKeptWordsStay", " a  b a ", 1, " a  b "},
                      Case{"caseCounts", "Word word WORD word", 1, "Word word WORD"},
                      Case{"wordsAcrossLines", "x y\ny z\nz x", 1, "x y z"},
                      Case{"otherWhitespaceSeparates", "x\ty" + nbsp + "x", 1, "x\ty"},
                      Case{"punctuationBelongsToTheWord", "end. end end.", 1, "end. end"},
                      Case{"canonicallyEquivalentAreEqual", "caf" + eAcute + " caf" + eCombining, 1, "caf" + eAcute},
                      Case{"partOfAWordIsNotTheWord", "ab b ab", 1, "ab b"},
                      Case{"onlyWhitespace", " \n\t ", 1, " \n\t "},
                      Case{"emptyInput", "", 1, ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(RemoveDuplicates, StoredBooleanReadsAsZeroOrOne) {
    EXPECT_EQ(runWith(TextActionType::removeDuplicates, {{"Type", 20}, {"DuplicatesType", true}}, "a a"), "a");
}

TEST(RemoveDuplicates, LargeInputKeepsEveryDistinctLine) {
    std::string input;
    for (int i = 0; i < 20000; ++i) input += "line " + std::to_string(i % 1000) + "\n";
    const std::string output = runWith(TextActionType::removeDuplicates, {}, input);
    // 1000 distinct numbered lines, then the one empty line after the last line feed.
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1000);
    EXPECT_EQ(output.substr(0, 14), "line 0\nline 1\n");
}

} // namespace
