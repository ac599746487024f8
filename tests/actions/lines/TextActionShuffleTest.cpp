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
    for (auto c : text::graphemes(s))
        clusters.emplace_back(c);
    std::sort(clusters.begin(), clusters.end());
    return clusters;
}

// How many different results a number of runs produce; fails when one is not expected.
std::set<std::string> outcomes(const Options& options, std::string_view input, int runs) {
    std::set<std::string> seen;
    for (int i = 0; i < runs; ++i)
        seen.insert(shuffle(options, input));
    return seen;
}

const std::string eCombining = "e\xCC\x81";
const std::string family = "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7"; // ZWJ sequence

// The results that do not depend on the draw.
TEST(Shuffle, Table) {
    expectCases(TextActionType::shuffle,
                {
                    {"empty lines", "", shuffleOptions(2, true, true), ""},
                    {"empty words across lines", "", shuffleOptions(1, false, true), ""},
                    {"empty words per line", "", shuffleOptions(1, true, true), ""},
                    {"empty characters", "", shuffleOptions(0, false, false), ""},
                    {"empty characters per line", "", shuffleOptions(0, true, false), ""},
                    {"empty scramble", "", shuffleOptions(0, false, true), ""},
                    {"empty scramble per line", "", shuffleOptions(0, true, true), ""},
                    {"one line", "one line only", shuffleOptions(2, true, true), "one line only"},
                    {"one word", "word", shuffleOptions(1, false, true), "word"},
                    {"one character", "x", shuffleOptions(0, false, false), "x"},
                    // Per-line results skip line feeds while nothing was written.
                    {"words per line after empty lines", "\n\nab", shuffleOptions(1, true, true), "ab"},
                    {"characters per line after empty lines", "\nx\n\ny", shuffleOptions(0, true, false), "x\n\ny"},
                    {"scramble per line after a blank line", "   \nab", shuffleOptions(0, true, true), "ab"},
                    // The scramble trims blanks at the ends.
                    {"scramble trims", "  ab  cd  ", shuffleOptions(0, false, true), "ab  cd"},
                    {"scramble per line trims", " ab\nto \n", shuffleOptions(0, true, true), "ab\nto\n"},
                });
}

std::vector<std::string> lines(std::string_view s) {
    return sortedPieces(s, '\n');
}
std::vector<std::string> words(std::string_view s) {
    return sortedPieces(s, ' ');
}
// The pieces of every line on its own, a line feed after each line's pieces.
template <std::vector<std::string> (*pieceSet)(std::string_view)> std::vector<std::string> perLine(std::string_view s) {
    std::vector<std::string> out;
    for (const auto& line : pieces(s, '\n')) {
        const auto set = pieceSet(line);
        out.insert(out.end(), set.begin(), set.end());
        out.emplace_back("\n");
    }
    return out;
}

// Whatever the order, every mode gives back the pieces it was given, whole.
TEST(Shuffle, KeepsItsPieces) {
    const struct {
        const char* name;
        Options options;
        std::string input;
        std::vector<std::string> (*pieceSet)(std::string_view);
    } cases[] = {
        {"lines", shuffleOptions(2, false, false), "a\nb b\n\nc\n", lines},
        // Line feeds and tabs stay inside the pieces; double spaces leave an empty piece.
        {"words across lines", shuffleOptions(1, false, true), "a b\nc  d\te", words},
        {"words per line", shuffleOptions(1, true, true), "a b c\nd e\nf", perLine<words>},
        {"characters", shuffleOptions(0, false, false), "ab " + eCombining + family + "\r\nz", sortedClusters},
        {"characters per line", shuffleOptions(0, true, false), "abc\nde\n" + eCombining + "x",
         perLine<sortedClusters>},
    };
    for (const auto& c : cases)
        for (int i = 0; i < 30; ++i) {
            const std::string out = shuffle(c.options, c.input);
            EXPECT_EQ(c.pieceSet(out), c.pieceSet(c.input)) << c.name << ": " << out;
        }
}

TEST(Shuffle, ScrambleLeavesShortWordsAndLastLetters) {
    for (int i = 0; i < 50; ++i) {
        const std::string out = shuffle(shuffleOptions(0, false, true), "I am reading words" + eCombining);
        ASSERT_EQ(out.find('\n'), std::string::npos);
        auto words = sortedPieces(out, ' ');
        ASSERT_EQ(words.size(), 4u) << out;
        EXPECT_EQ(out.substr(0, 5), "I am ");
        EXPECT_EQ(out.substr(5, 7).back(), 'g') << out;
        EXPECT_EQ(out.substr(out.size() - eCombining.size()), eCombining) << out;
        EXPECT_EQ(sortedClusters(out), sortedClusters("I am reading words" + eCombining));
    }
}

// Characters: the uniformity test below sees all six orders.
TEST(Shuffle, EveryOrderIsReachable) {
    EXPECT_EQ(outcomes(shuffleOptions(1, false, true), "x y z", 400).size(), 6u);
    EXPECT_EQ(outcomes(shuffleOptions(2, true, true), "1\n2\n3", 400).size(), 6u);
    // The scramble keeps the last letter: three letters in front, six orders, all end in d.
    const auto scrambled = outcomes(shuffleOptions(0, false, true), "abcd", 400);
    EXPECT_EQ(scrambled, (std::set<std::string>{"abcd", "acbd", "bacd", "bcad", "cabd", "cbad"}));
}

TEST(Shuffle, CharacterDrawIsUniform) {
    std::map<std::string, int> counts;
    for (int i = 0; i < 6000; ++i)
        ++counts[shuffle(shuffleOptions(0, false, false), "abc")];
    ASSERT_EQ(counts.size(), 6u);
    for (const auto& [order, count] : counts) {
        EXPECT_GT(count, 850) << order;
        EXPECT_LT(count, 1150) << order;
    }
}

} // namespace
