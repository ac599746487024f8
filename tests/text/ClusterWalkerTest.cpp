#include "text/ClusterWalker.h"

#include "text/Graphemes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace lexorra::text;

namespace {

struct Case {
    const char* name;
    std::string input;
    std::vector<size_t> boundaries;
};

class ClusterWalkerTable : public ::testing::TestWithParam<Case> {};

TEST_P(ClusterWalkerTable, Boundaries) {
    ClusterWalker walker;
    EXPECT_EQ(walker.boundaries(GetParam().input), GetParam().boundaries);
    EXPECT_EQ(walker.count(GetParam().input), GetParam().boundaries.size() - 1);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ClusterWalkerTable,
    ::testing::Values(Case{"empty", "", {0}}, Case{"ascii", "ab", {0, 1, 2}}, Case{"crLf", "a\r\nb", {0, 1, 3, 4}},
                      Case{"combiningAfterAscii", "ae\xCC\x81z", {0, 1, 4, 5}},
                      Case{"prependJoinsFollowingAscii", "x\xD8\x80" "1y", {0, 1, 4, 5}},
                      Case{"flagPairs", "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7\xF0\x9F\x87\xA9", {0, 8, 12}},
                      Case{"crBeforeNonAscii", "\r\xC3\xA9", {0, 1, 3}}),
    [](const auto& p) { return std::string(p.param.name); });

// The windowed walk must agree with one ICU pass over the whole text.
TEST(ClusterWalker, AgreesWithAWholeTextPass) {
    const std::vector<std::string> atoms = {
        "a", "Z", " ", "1", "\r", "\n", "\t", "\xC3\xA9", "\xCC\x81", "\xE2\x80\x8D", "\xEF\xB8\x8F",
        "\xF0\x9F\x91\xA8", "\xF0\x9F\x8F\xBD", "\xF0\x9F\x87\xAB", "\xD8\x80", "\xE1\x84\x80", "\xE1\x85\xA1",
        "\xE0\xA4\x95", "\xE0\xA5\x8D", "\xE2\x83\xA3", "\xE4\xB8\xAD"};
    std::mt19937 rng(7);
    ClusterWalker walker;
    for (int round = 0; round < 3000; ++round) {
        std::string s;
        const int length = static_cast<int>(rng() % 12);
        for (int k = 0; k < length; ++k) s += atoms[rng() % atoms.size()];
        ASSERT_EQ(walker.boundaries(s), graphemeBoundaries(s)) << "round " << round;
    }
}

} // namespace
