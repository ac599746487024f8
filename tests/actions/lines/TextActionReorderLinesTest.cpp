#include "actions/lines/TextActionReorderLines.h"

#include "support/ActionCases.h"

#include <map>

using namespace lexorra;
using namespace lexorra::testing;

namespace {

std::string reorder(std::int64_t type, std::string_view input) {
    return runWith(TextActionType::reorderLines, {{"ReorderType", Value(type)}}, input);
}

const Options original{{"ReorderType", 0}}, reverse{{"ReorderType", 1}}, natural{{"ReorderType", 2}},
    byLength{{"ReorderType", 4}};
const std::string eAcute = "\xC3\xA9";                         // é precomposed
const std::string eCombining = "e\xCC\x81";                    // e + U+0301
const std::string thumbs = "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD"; // thumbs up, medium skin tone

TEST(ReorderLines, Table) {
    expectCases(
        TextActionType::reorderLines,
        {
            // Orders
            {"originalKeepsText", "b\na\n", original, "b\na\n"},
            {"reverse", "a\nb\nc", reverse, "c\nb\na"},
            {"reverseMovesEmptyLastLineFirst", "a\nb\n", reverse, "\nb\na"},
            {"numericRunsByValue", "a10\na2\nB\na1", natural, "a1\na2\na10\nB"},
            {"caseSecondToLetters", "b\nA\nc\na", natural, "a\nA\nb\nc"},
            {"longNumbersByValue", "x100000000000000000000\nx9\nx99", natural, "x9\nx99\nx100000000000000000000"},
            {"emptyLineFirst", "b\na\n", natural, "\na\nb"},
            {"accentAfterPlainLetter", "\xC3\xA9t\xC3\xA9\nete\nfin", natural, "ete\n\xC3\xA9t\xC3\xA9\nfin"},
            {"canonicallyEqualLinesKeepOrder", eCombining + "\n" + eAcute + "\nd", natural,
             "d\n" + eCombining + "\n" + eAcute},
            {"canonicallyEqualLinesKeepOrderSwapped", eAcute + "\n" + eCombining + "\nd", natural,
             "d\n" + eAcute + "\n" + eCombining},
            {"byLength", "ccc\na\nbb\nd", byLength, "a\nd\nbb\nccc"},
            {"byLengthEqualKeepOrder", "bb\naa\nc\ncc", byLength, "c\nbb\naa\ncc"},
            {"byLengthCountsClusters", "abc\n" + eCombining + eCombining, byLength, eCombining + eCombining + "\nabc"},
            {"byLengthEmojiIsOneCharacter", "ab\n" + thumbs, byLength, thumbs + "\nab"},
            {"byLengthCrLfIsOneCharacter", "abc\nx\r\n", byLength, "\nx\r\nabc"},
        });
}

TEST(ReorderLines, EmptyInputStaysEmpty) {
    for (std::int64_t type = 0; type <= 4; ++type)
        EXPECT_EQ(reorder(type, ""), "") << type;
}

// The user's locale decides details, but numbers are compared by value in every one of
// them, the C locale included.
TEST(ReorderLines, NumericOrderInEveryLocaleAndTheLocalesTailoring) {
    ScopedLocale locale("en_US_POSIX");
    for (const char* name : {"en_US_POSIX", "en_US", "de_DE", "sv_SE", "ja_JP"}) {
        locale.set(name);
        EXPECT_EQ(reorder(2, "a10\na2\nB\na1"), "a1\na2\na10\nB") << name;
    }
    // Swedish puts ä after z; most other languages sort it with a.
    locale.set("sv_SE");
    EXPECT_EQ(reorder(2, "\xC3\xA4pple\nzebra\nbanana"), "banana\nzebra\n\xC3\xA4pple");
    locale.set("de_DE");
    EXPECT_EQ(reorder(2, "\xC3\xA4pple\nzebra\nbanana"), "\xC3\xA4pple\nbanana\nzebra");
}

TEST(ReorderLines, ShuffleKeepsTheLines) {
    const std::string input = "one\ntwo\n\nthree\nfour\nfive\n";
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(sortedPieces(reorder(3, input), '\n'), sortedPieces(input, '\n'));
}

TEST(ReorderLines, ShuffleIsUniformOverSmallCase) {
    std::map<std::string, int> seen;
    const int runs = 6000;
    for (int i = 0; i < runs; ++i)
        ++seen[reorder(3, "1\n2\n3")];
    ASSERT_EQ(seen.size(), 6u);
    // Expected 1000 each with a standard deviation near 29: a biased shuffle (such as
    // swapping with any position) lands far outside.
    for (const auto& [order, count] : seen) {
        EXPECT_GT(count, 850) << order;
        EXPECT_LT(count, 1150) << order;
    }
}

} // namespace
