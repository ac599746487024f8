#include "actions/lines/TextActionReorderLines.h"

#include "support/ActionCases.h"

#include <unicode/locid.h>

#include <map>
#include <set>

using namespace lexorra;
using namespace lexorra::testing;

namespace {

struct Case {
    const char* name;
    std::string input;
    std::int64_t reorderType;
    std::string expected;
};

std::string reorder(std::int64_t type, std::string_view input) {
    return runWith(TextActionType::reorderLines, {{"ReorderType", Value(type)}}, input);
}

const std::string eAcute = "\xC3\xA9";        // é precomposed
const std::string eCombining = "e\xCC\x81";   // e + U+0301
const std::string thumbs = "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD"; // thumbs up, medium skin tone

class ReorderLinesTable : public ::testing::TestWithParam<Case> {};

TEST_P(ReorderLinesTable, Transforms) {
    const Case& c = GetParam();
    EXPECT_EQ(reorder(c.reorderType, c.input), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, ReorderLinesTable,
    ::testing::Values(
        Case{"originalKeepsText", "b\na\n", 0, "b\na\n"},
        Case{"reverse", "a\nb\nc", 1, "c\nb\na"},
        Case{"reverseMovesEmptyLastLineFirst", "a\nb\n", 1, "\nb\na"},
        Case{"numericRunsByValue", "a10\na2\nB\na1", 2, "a1\na2\na10\nB"},
        Case{"caseSecondToLetters", "b\nA\nc\na", 2, "a\nA\nb\nc"},
        Case{"longNumbersByValue", "x100000000000000000000\nx9\nx99", 2, "x9\nx99\nx100000000000000000000"},
        Case{"emptyLineFirst", "b\na\n", 2, "\na\nb"},
        Case{"accentAfterPlainLetter", "\xC3\xA9t\xC3\xA9\nete\nfin", 2, "ete\n\xC3\xA9t\xC3\xA9\nfin"},
        Case{"canonicallyEqualLinesKeepOrder", eCombining + "\n" + eAcute + "\nd", 2,
             "d\n" + eCombining + "\n" + eAcute},
        Case{"canonicallyEqualLinesKeepOrderSwapped", eAcute + "\n" + eCombining + "\nd", 2,
             "d\n" + eAcute + "\n" + eCombining},
        Case{"byLength", "ccc\na\nbb\nd", 4, "a\nd\nbb\nccc"},
        Case{"byLengthEqualKeepOrder", "bb\naa\nc\ncc", 4, "c\nbb\naa\ncc"},
        Case{"byLengthCountsClusters", "abc\n" + eCombining + eCombining, 4, eCombining + eCombining + "\nabc"},
        Case{"byLengthEmojiIsOneCharacter", "ab\n" + thumbs, 4, thumbs + "\nab"},
        Case{"byLengthCrLfIsOneCharacter", "abc\nx\r\n", 4, "\nx\r\nabc"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ReorderLines, EmptyInputStaysEmpty) {
    for (std::int64_t type = 0; type <= 4; ++type) EXPECT_EQ(reorder(type, ""), "") << type;
}

// The user's locale decides details, but numbers are compared by value in every one of
// them, the C locale included.
TEST(ReorderLines, NumericOrderInEveryLocale) {
    const icu::Locale saved = icu::Locale::getDefault();
    for (const char* name : {"en_US_POSIX", "en_US", "de_DE", "sv_SE", "ja_JP"}) {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale(name), status);
        EXPECT_EQ(reorder(2, "a10\na2\nB\na1"), "a1\na2\na10\nB") << name;
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(saved, status);
}

TEST(ReorderLines, LocaleTailoringApplies) {
    const icu::Locale saved = icu::Locale::getDefault();
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale("sv_SE"), status);
    // Swedish puts ä after z; most other languages sort it with a.
    EXPECT_EQ(reorder(2, "\xC3\xA4pple\nzebra\nbanana"), "banana\nzebra\n\xC3\xA4pple");
    icu::Locale::setDefault(icu::Locale("de_DE"), status);
    EXPECT_EQ(reorder(2, "\xC3\xA4pple\nzebra\nbanana"), "\xC3\xA4pple\nbanana\nzebra");
    icu::Locale::setDefault(saved, status);
}

TEST(ReorderLines, ShuffleKeepsTheLines) {
    const std::string input = "one\ntwo\n\nthree\nfour\nfive\n";
    for (int i = 0; i < 20; ++i) EXPECT_EQ(sortedPieces(reorder(3, input), '\n'), sortedPieces(input, '\n'));
}

TEST(ReorderLines, ShuffleIsUniformOverSmallCase) {
    std::map<std::string, int> seen;
    const int runs = 6000;
    for (int i = 0; i < runs; ++i) ++seen[reorder(3, "1\n2\n3")];
    ASSERT_EQ(seen.size(), 6u);
    // Expected 1000 each with a standard deviation near 29: a biased shuffle (such as
    // swapping with any position) lands far outside.
    for (const auto& [order, count] : seen) {
        EXPECT_GT(count, 850) << order;
        EXPECT_LT(count, 1150) << order;
    }
}

TEST(ReorderLines, ShuffleOfOneLineIsThatLine) { EXPECT_EQ(reorder(3, "only"), "only"); }

} // namespace
