#include "actions/lines/TextActionRemoveDuplicates.h"

#include "support/ActionCases.h"

using namespace lexorra;
using namespace lexorra::testing;

namespace {

const std::string eAcute = "\xC3\xA9";      // é precomposed
const std::string eCombining = "e\xCC\x81"; // e + U+0301
const std::string nbsp = "\xC2\xA0";
const Options lines{{"DuplicatesType", 0}}, words{{"DuplicatesType", 1}};

TEST(RemoveDuplicates, Table) {
    expectCases(TextActionType::removeDuplicates,
                {
                    // Lines
                    {"keepsFirstOfEach", "a\nb\na\nc\nb", lines, "a\nb\nc"},
                    {"caseCounts", "a\nA\na", lines, "a\nA"},
                    {"leadingEmptyLineVanishes", "\na\nb", lines, "a\nb"},
                    {"laterEmptyLineKeptOnce", "a\n\nb\n\n", lines, "a\n\nb"},
                    {"trailingLineFeedIsAnEmptyLine", "a\na\n", lines, "a\n"},
                    {"canonicallyEquivalentAreEqual", eAcute + "\n" + eCombining + "\nx", lines, eAcute + "\nx"},
                    {"whitespaceCounts", "a\na \n a", lines, "a\na \n a"},
                    {"crIsPartOfTheLine", "a\r\na\na\r\n", lines, "a\r\na\n"},
                    {"emptyInput", "", lines, ""},
                    // Words
                    {"repeatTakesTheLineFeedBeforeIt", "a b\na c", words, "a b c"},
                    {"allRepeated", "a a a", words, "a"},
                    {"spacesAroundKeptWordsStay", " a  b a ", words, " a  b "},
                    {"caseCounts", "Word word WORD word", words, "Word word WORD"},
                    {"wordsAcrossLines", "x y\ny z\nz x", words, "x y z"},
                    {"otherWhitespaceSeparates", "x\ty" + nbsp + "x", words, "x\ty"},
                    {"punctuationBelongsToTheWord", "end. end end.", words, "end. end"},
                    {"canonicallyEquivalentAreEqual", "caf" + eAcute + " caf" + eCombining, words, "caf" + eAcute},
                    {"partOfAWordIsNotTheWord", "ab b ab", words, "ab b"},
                    {"onlyWhitespace", " \n\t ", words, " \n\t "},
                    {"emptyInput", "", words, ""},
                });
}

TEST(RemoveDuplicates, StoredBooleanReadsAsZeroOrOne) {
    EXPECT_EQ(runWith(TextActionType::removeDuplicates, {{"Type", 20}, {"DuplicatesType", true}}, "a a"), "a");
}

TEST(RemoveDuplicates, LargeInputKeepsEveryDistinctLine) {
    std::string input;
    for (int i = 0; i < 20000; ++i)
        input += "line " + std::to_string(i % 1000) + "\n";
    const std::string output = runWith(TextActionType::removeDuplicates, {}, input);
    // 1000 distinct numbered lines, then the one empty line after the last line feed.
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1000);
    EXPECT_EQ(output.substr(0, 14), "line 0\nline 1\n");
}

} // namespace
