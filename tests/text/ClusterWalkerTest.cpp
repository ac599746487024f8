#include "text/ClusterWalker.h"

#include "text/Graphemes.h"
#include "text/Utf.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace lexorra::text;

namespace {

// The windowed walk must agree with one ICU pass over the whole text, on random mixes of
// pieces where clusters join: CR LF, marks, joiners, modifiers, flags, prepended and Hangul
// letters, virama.
TEST(ClusterWalker, AgreesWithAWholeTextPass) {
    const char32_t atoms[] = {'a',     'Z',     ' ',     '1',   '\r',   '\n',   '\t',  0xE9,  0x301,  0x200D, 0xFE0F,
                              0x1F468, 0x1F3FD, 0x1F1EB, 0x600, 0x1100, 0x1161, 0x915, 0x94D, 0x20E3, 0x4E2D};
    std::mt19937 rng(7);
    ClusterWalker walker;
    for (int round = 0; round < 3000; ++round) {
        std::string s;
        const int length = static_cast<int>(rng() % 12);
        for (int k = 0; k < length; ++k)
            appendCodePoint(s, atoms[rng() % std::size(atoms)]);
        const auto expected = graphemeBoundaries(s);
        ASSERT_EQ(walker.boundaries(s), expected) << "round " << round;
        ASSERT_EQ(walker.count(s), expected.size() - 1) << "round " << round;
    }
}

} // namespace
