#include "actions/lines/TextActionShuffle.h"

#include "support/ActionCases.h"
#include "text/Graphemes.h"

#include <map>
#include <set>

using namespace lexorra;
using namespace lexorra::testing;

namespace {

Options shuffleOptions(std::int64_t type, bool separatedLines, bool keepWords) {
    return {{"ShuffleType", Value(type)}, {"SeparatedLines", Value(separatedLines)}, {"KeepWords", Value(keepWords)}};
}

std::string shuffle(const Options& options, std::string_view input) {
    return runWith(TextActionType::shuffle, options, input);
}

std::vector<std::string> sortedClusters(std::string_view s) {
    std::vector<std::string> clusters;
    for (auto c : text::graphemes(s)) clusters.emplace_back(c);
    std::sort(clusters.begin(), clusters.end());
    return clusters;
}

std::vector<std::string_view> lines(std::string_view s) {
    std::vector<std::string_view> out;
    size_t start = 0;
    for (size_t at = s.find('\n'); at != std::string_view::npos; at = s.find('\n', start)) {
        out.push_back(s.substr(start, at - start));
        start = at + 1;
    }
    out.push_back(s.substr(start));
    return out;
}

// How many different results a number of runs produce; fails when one is not expected.
std::set<std::string> outcomes(const Options& options, std::string_view input, int runs) {
    std::set<std::string> seen;
    for (int i = 0; i < runs; ++i) seen.insert(shuffle(options, input));
    return seen;
}

const std::string eCombining = "e\xCC\x81";
const std::string family = "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7"; // ZWJ sequence

struct Mode {
    const char* name;
    std::int64_t type;
    bool separatedLines;
    bool keepWords;
};

const Mode allModes[] = {
    {"lines", 2, true, true},          {"words across lines", 1, false, true},
    {"words per line", 1, true, true}, {"characters", 0, false, false},
    {"characters per line", 0, true, false}, {"scramble", 0, false, true},
    {"scramble per line", 0, true, true},
};

TEST(Shuffle, EmptyInputStaysEmpty) {
    for (const auto& m : allModes) EXPECT_EQ(shuffle(shuffleOptions(m.type, m.separatedLines, m.keepWords), ""), "")
        << m.name;
}

TEST(Shuffle, SingleItemsStay) {
    EXPECT_EQ(shuffle(shuffleOptions(2, true, true), "one line only"), "one line only");
    EXPECT_EQ(shuffle(shuffleOptions(1, false, true), "word"), "word");
    EXPECT_EQ(shuffle(shuffleOptions(0, false, false), "x"), "x");
}

TEST(Shuffle, LinesKeepTheirMultiset) {
    const std::string input = "a\nb b\n\nc\n";
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(sortedPieces(shuffle(shuffleOptions(2, false, false), input), '\n'), sortedPieces(input, '\n'));
}

TEST(Shuffle, WordsAcrossLinesSplitAtSingleSpaces) {
    // Line feeds and tabs stay inside the pieces; double spaces leave an empty piece.
    const std::string input = "a b\nc  d\te";
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(sortedPieces(shuffle(shuffleOptions(1, false, true), input), ' '), sortedPieces(input, ' '));
}

TEST(Shuffle, WordsPerLineStayOnTheirLine) {
    const std::string input = "a b c\nd e\nf";
    for (int i = 0; i < 30; ++i) {
        const std::string out = shuffle(shuffleOptions(1, true, true), input);
        const auto got = lines(out);
        const auto want = lines(input);
        ASSERT_EQ(got.size(), want.size()) << out;
        for (size_t k = 0; k < got.size(); ++k) EXPECT_EQ(sortedPieces(got[k], ' '), sortedPieces(want[k], ' '));
    }
}

TEST(Shuffle, PerLineResultsSkipLineFeedsWhileNothingWasWritten) {
    EXPECT_EQ(shuffle(shuffleOptions(1, true, true), "\n\nab"), "ab");
    EXPECT_EQ(shuffle(shuffleOptions(0, true, false), "\nx\n\ny"), "x\n\ny");
    EXPECT_EQ(shuffle(shuffleOptions(0, true, true), "   \nab"), "ab");
}

TEST(Shuffle, CharactersKeepClustersWhole) {
    const std::string input = "ab " + eCombining + family + "\r\nz";
    for (int i = 0; i < 50; ++i) {
        const std::string out = shuffle(shuffleOptions(0, false, false), input);
        EXPECT_EQ(sortedClusters(out), sortedClusters(input)) << out;
        EXPECT_NE(out.find(family), std::string::npos);
        EXPECT_NE(out.find("\r\n"), std::string::npos);
    }
}

TEST(Shuffle, CharactersPerLineStayOnTheirLine) {
    const std::string input = "abc\nde\n" + eCombining + "x";
    for (int i = 0; i < 30; ++i) {
        const std::string out = shuffle(shuffleOptions(0, true, false), input);
        const auto got = lines(out);
        const auto want = lines(input);
        ASSERT_EQ(got.size(), want.size());
        for (size_t k = 0; k < got.size(); ++k) EXPECT_EQ(sortedClusters(got[k]), sortedClusters(want[k]));
    }
}

TEST(Shuffle, ScrambleLeavesShortWordsAndLastLetters) {
    for (int i = 0; i < 50; ++i) {
        const std::string out = shuffle(shuffleOptions(0, false, true), "I am reading words" + eCombining);
        const auto got = lines(out);
        ASSERT_EQ(got.size(), 1u);
        auto words = sortedPieces(out, ' ');
        ASSERT_EQ(words.size(), 4u) << out;
        EXPECT_EQ(out.substr(0, 5), "I am ");
        EXPECT_EQ(out.substr(5, 7).back(), 'g') << out;
        EXPECT_EQ(out.substr(out.size() - eCombining.size()), eCombining) << out;
        EXPECT_EQ(sortedClusters(out), sortedClusters("I am reading words" + eCombining));
    }
}

TEST(Shuffle, ScrambleTrimsBlanksAtTheEnds) {
    EXPECT_EQ(shuffle(shuffleOptions(0, false, true), "  ab  cd  "), "ab  cd");
    EXPECT_EQ(shuffle(shuffleOptions(0, true, true), " ab\nto \n"), "ab\nto\n");
}

TEST(Shuffle, EveryOrderIsReachable) {
    EXPECT_EQ(outcomes(shuffleOptions(0, false, false), "abc", 400).size(), 6u);
    EXPECT_EQ(outcomes(shuffleOptions(1, false, true), "x y z", 400).size(), 6u);
    EXPECT_EQ(outcomes(shuffleOptions(2, true, true), "1\n2\n3", 400).size(), 6u);
    // The scramble keeps the last letter: three letters in front, six orders, all end in d.
    const auto scrambled = outcomes(shuffleOptions(0, false, true), "abcd", 400);
    EXPECT_EQ(scrambled, (std::set<std::string>{"abcd", "acbd", "bacd", "bcad", "cabd", "cbad"}));
}

TEST(Shuffle, CharacterDrawIsUniform) {
    std::map<std::string, int> counts;
    for (int i = 0; i < 6000; ++i) ++counts[shuffle(shuffleOptions(0, false, false), "abc")];
    ASSERT_EQ(counts.size(), 6u);
    for (const auto& [order, count] : counts) {
        EXPECT_GT(count, 850) << order;
        EXPECT_LT(count, 1150) << order;
    }
}

} // namespace
