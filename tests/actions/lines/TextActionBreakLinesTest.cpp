#include "actions/lines/TextActionBreakLines.h"

#include "support/ActionCases.h"

using namespace lexorra;
using namespace lexorra::testing;

namespace {

struct Case {
    const char* name;
    std::string input;
    Options options;
    std::string expected;
};

Options type(std::int64_t actionType) { return {{"ActionType", Value(actionType)}}; }
Options around(std::int64_t actionType, std::string text) {
    return {{"ActionType", Value(actionType)}, {"CharacterForBreak", Value(std::move(text))}};
}
Options every(std::int64_t position) { return {{"ActionType", Value(5)}, {"Position", Value(position)}}; }

const std::string eAcute = "\xC3\xA9";      // é precomposed
const std::string eCombining = "e\xCC\x81"; // e + U+0301
const std::string family = "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
const std::string heart = "\xE2\x9D\xA4\xEF\xB8\x8F"; // U+2764 U+FE0F

class BreakLinesTable : public ::testing::TestWithParam<Case> {};

TEST_P(BreakLinesTable, Transforms) {
    const Case& c = GetParam();
    EXPECT_EQ(runWith(TextActionType::breakLines, c.options, c.input), c.expected);
}

std::string caseName(const ::testing::TestParamInfo<Case>& p) { return p.param.name; }

INSTANTIATE_TEST_SUITE_P(
    Words, BreakLinesTable,
    ::testing::Values(Case{"punctuationGoes", "Hello, world!", type(0), "Hello\nworld"},
                      Case{"whitespaceRunsGiveOneBreak", "a  b\n\n\tc", type(0), "a\nb\nc"},
                      Case{"leadingSeparatorLeadsWithLineFeed", ", a", type(0), "\na"},
                      Case{"quotesAreSeparators", "\xC2\xABoui\xC2\xBB", type(0), "\noui"},
                      Case{"dashAndUnderscoreSplit", "well-known snake_case", type(0), "well\nknown\nsnake\ncase"},
                      Case{"symbolsStay", "1+1=2 $5", type(0), "1+1=2\n$5"},
                      Case{"emojiIsAWord", "I " + heart + " you", type(0), "I\n" + heart + "\nyou"},
                      Case{"combiningMarksStay", "caf" + eCombining + " ok", type(0), "caf" + eCombining + "\nok"},
                      Case{"onlySeparators", " ,.; ", type(0), ""},
                      Case{"empty", "", type(0), ""}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Sentences, BreakLinesTable,
    ::testing::Values(Case{"twoSentences", "One. Two.", type(1), "One\n Two"},
                      Case{"allFourMarks", "Hi! Ok? Yes; no.", type(1), "Hi\n Ok\n Yes\n no"},
                      Case{"ellipsisGivesOneBreak", "Wait... go", type(1), "Wait\n go"},
                      Case{"leadingMark", ".a", type(1), "\na"},
                      Case{"commaDoesNotBreak", "a, b", type(1), "a, b"},
                      Case{"lineFeedsStayInPieces", "a.\nb", type(1), "a\n\nb"},
                      Case{"empty", "", type(1), ""}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    AroundText, BreakLinesTable,
    ::testing::Values(Case{"afterCommaSpace", "a, b, c", around(2, ", "), "a, \nb, \nc"},
                      Case{"afterAtEnd", "a;", around(2, ";"), "a;\n"},
                      Case{"beforeText", "abab", around(3, "b"), "a\nba\nb"},
                      Case{"beforeAtStart", "xa", around(3, "x"), "\nxa"},
                      Case{"nonOverlapping", "aaa", around(2, "aa"), "aa\na"},
                      Case{"caseCounts", "aAa", around(2, "A"), "aA\na"},
                      Case{"emptyTextLeavesInput", "a b", around(2, ""), "a b"},
                      Case{"emptyTextLeavesInputBefore", "a b", around(3, ""), "a b"},
                      Case{"canonicallyEquivalentMatch", "caf" + eCombining + "!", around(2, eAcute),
                           "caf" + eAcute + "\n!"},
                      Case{"noSplitOfCombinedLetter", "caf" + eCombining, around(2, "e"), "caf" + eCombining},
                      Case{"asciiTextInAccentedInput", "caf" + eCombining + "; na" + eAcute + "ve;", around(2, ";"),
                           "caf" + eCombining + ";\n na" + eAcute + "ve;\n"},
                      Case{"greekQuestionMarkIsASemicolon", "a\xCD\xBE" "b" + eAcute, around(2, ";"), "a;\nb" + eAcute},
                      Case{"kelvinSignIsK", "1\xE2\x84\xAA" "2", around(3, "K"), "1\nK2"},
                      Case{"markAfterMatchPreventsIt", "e\xCC\x81" "e", around(3, "e"), "e\xCC\x81\n" "e"},
                      Case{"empty", "", around(2, "x"), ""}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    EveryCharacter, BreakLinesTable,
    ::testing::Values(Case{"oneLine", "abc", type(4), "a\nb\nc\n"},
                      Case{"lineBreakAddsNothing", "ab\ncd", type(4), "a\nb\n\nc\nd\n"},
                      Case{"crLfIsOneCharacter", "a\r\nb", type(4), "a\n\r\nb\n"},
                      Case{"otherLineBreaks", "a\xE2\x80\xA8" "b\x0B", type(4), "a\n\xE2\x80\xA8" "b\n\x0B"},
                      Case{"clustersStayWhole", eCombining + family, type(4), eCombining + "\n" + family + "\n"},
                      Case{"empty", "", type(4), ""}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    MaxPosition, BreakLinesTable,
    ::testing::Values(Case{"chunks", "abcdefg", every(3), "abc\ndef\ng"},
                      Case{"exactMultiple", "abcdef", every(3), "abc\ndef"},
                      Case{"shortLineUnchanged", "abc", every(3), "abc"},
                      Case{"perLine", "abcd\n\nxy", every(2), "ab\ncd\n\nxy"},
                      Case{"trailingLineFeedKept", "abcd\n", every(3), "abc\nd\n"},
                      Case{"countsClusters", eCombining + eCombining + eCombining + "x", every(2),
                           eCombining + eCombining + "\n" + eCombining + "x"},
                      Case{"emojiSequencesAreOneCharacter", family + family + family, every(2),
                           family + family + "\n" + family},
                      Case{"zeroLeavesLines", "abcdef", every(0), "abcdef"},
                      Case{"negativeLeavesLines", "abcdef", every(-4), "abcdef"},
                      Case{"defaultIsTen", "abcdefghijkl", type(5), "abcdefghij\nkl"},
                      Case{"empty", "", every(3), ""}),
    caseName);

} // namespace
