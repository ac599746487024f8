#include "actions/lines/TextActionBreakLines.h"

#include "support/ActionCases.h"

using namespace lexorra;
using namespace lexorra::testing;

namespace {

Options type(std::int64_t actionType) {
    return {{"ActionType", Value(actionType)}};
}
Options around(std::int64_t actionType, std::string text) {
    return {{"ActionType", Value(actionType)}, {"CharacterForBreak", Value(std::move(text))}};
}
Options every(std::int64_t position) {
    return {{"ActionType", Value(5)}, {"Position", Value(position)}};
}

const std::string eAcute = "\xC3\xA9";      // é precomposed
const std::string eCombining = "e\xCC\x81"; // e + U+0301
const std::string family = "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
const std::string heart = "\xE2\x9D\xA4\xEF\xB8\x8F"; // U+2764 U+FE0F

TEST(BreakLines, Table) {
    expectCases(
        TextActionType::breakLines,
        {
            // Words
            {"punctuationGoes", "Hello, world!", type(0), "Hello\nworld"},
            {"whitespaceRunsGiveOneBreak", "a  b\n\n\tc", type(0), "a\nb\nc"},
            {"leadingSeparatorLeadsWithLineFeed", ", a", type(0), "\na"},
            {"quotesAreSeparators", "\xC2\xABoui\xC2\xBB", type(0), "\noui"},
            {"dashAndUnderscoreSplit", "well-known snake_case", type(0), "well\nknown\nsnake\ncase"},
            {"symbolsStay", "1+1=2 $5", type(0), "1+1=2\n$5"},
            {"emojiIsAWord", "I " + heart + " you", type(0), "I\n" + heart + "\nyou"},
            {"combiningMarksStay", "caf" + eCombining + " ok", type(0), "caf" + eCombining + "\nok"},
            {"onlySeparators", " ,.; ", type(0), ""},
            {"empty", "", type(0), ""},
            // Sentences
            {"twoSentences", "One. Two.", type(1), "One\n Two"},
            {"allFourMarks", "Hi! Ok? Yes; no.", type(1), "Hi\n Ok\n Yes\n no"},
            {"ellipsisGivesOneBreak", "Wait... go", type(1), "Wait\n go"},
            {"leadingMark", ".a", type(1), "\na"},
            {"commaDoesNotBreak", "a, b", type(1), "a, b"},
            {"lineFeedsStayInPieces", "a.\nb", type(1), "a\n\nb"},
            {"empty", "", type(1), ""},
            // Around text
            {"afterCommaSpace", "a, b, c", around(2, ", "), "a, \nb, \nc"},
            {"afterAtEnd", "a;", around(2, ";"), "a;\n"},
            {"beforeText", "abab", around(3, "b"), "a\nba\nb"},
            {"beforeAtStart", "xa", around(3, "x"), "\nxa"},
            {"nonOverlapping", "aaa", around(2, "aa"), "aa\na"},
            {"caseCounts", "aAa", around(2, "A"), "aA\na"},
            {"emptyTextLeavesInput", "a b", around(2, ""), "a b"},
            {"emptyTextLeavesInputBefore", "a b", around(3, ""), "a b"},
            {"canonicallyEquivalentMatch", "caf" + eCombining + "!", around(2, eAcute), "caf" + eAcute + "\n!"},
            {"noSplitOfCombinedLetter", "caf" + eCombining, around(2, "e"), "caf" + eCombining},
            {"asciiTextInAccentedInput", "caf" + eCombining + "; na" + eAcute + "ve;", around(2, ";"),
             "caf" + eCombining + ";\n na" + eAcute + "ve;\n"},
            {"greekQuestionMarkIsASemicolon",
             "a\xCD\xBE"
             "b" +
                 eAcute,
             around(2, ";"), "a;\nb" + eAcute},
            {"kelvinSignIsK",
             "1\xE2\x84\xAA"
             "2",
             around(3, "K"), "1\nK2"},
            {"markAfterMatchPreventsIt",
             "e\xCC\x81"
             "e",
             around(3, "e"),
             "e\xCC\x81\n"
             "e"},
            {"empty", "", around(2, "x"), ""},
            // Every character
            {"oneLine", "abc", type(4), "a\nb\nc\n"},
            {"lineBreakAddsNothing", "ab\ncd", type(4), "a\nb\n\nc\nd\n"},
            {"crLfIsOneCharacter", "a\r\nb", type(4), "a\n\r\nb\n"},
            {"otherLineBreaks",
             "a\xE2\x80\xA8"
             "b\x0B",
             type(4),
             "a\n\xE2\x80\xA8"
             "b\n\x0B"},
            {"clustersStayWhole", eCombining + family, type(4), eCombining + "\n" + family + "\n"},
            {"empty", "", type(4), ""},
            // Max position
            {"chunks", "abcdefg", every(3), "abc\ndef\ng"},
            {"exactMultiple", "abcdef", every(3), "abc\ndef"},
            {"shortLineUnchanged", "abc", every(3), "abc"},
            {"perLine", "abcd\n\nxy", every(2), "ab\ncd\n\nxy"},
            {"trailingLineFeedKept", "abcd\n", every(3), "abc\nd\n"},
            {"countsClusters", eCombining + eCombining + eCombining + "x", every(2),
             eCombining + eCombining + "\n" + eCombining + "x"},
            {"emojiSequencesAreOneCharacter", family + family + family, every(2), family + family + "\n" + family},
            {"zeroLeavesLines", "abcdef", every(0), "abcdef"},
            {"negativeLeavesLines", "abcdef", every(-4), "abcdef"},
            {"defaultIsTen", "abcdefghijkl", type(5), "abcdefghij\nkl"},
            {"empty", "", every(3), ""},
        });
}

} // namespace
