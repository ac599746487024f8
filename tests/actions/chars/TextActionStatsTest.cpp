#include "actions/chars/TextActionStats.h"

#include "core/ActionFactory.h"

#include "support/ActionCases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lexorra;

namespace {

using lexorra::testing::Row;

const std::string heading = "\n\nWord (Count)\n--------------------";

std::string totals(int characters, int lines, int words, int unique) {
    return "Total Characters: " + std::to_string(characters) + "\nTotal Lines: " + std::to_string(lines) +
           "\nTotal Words: " + std::to_string(words) + "\nUnique Words: " + std::to_string(unique) + "\n";
}

TEST(Stats, Reports) {
    const Row cases[] = {
        {"empty input", "", totals(0, 1, 0, 0) + heading},
        {"one word", "Hello", totals(5, 1, 1, 1) + heading + "\nhello (1)"},
        {"counts order highest first", "b a b c b a", totals(11, 1, 6, 3) + heading + "\nb (3)\na (2)\nc (1)"},
        {"lines are pieces between line feeds", "a\n\nb\n", totals(5, 4, 2, 2) + heading + "\na (1)\nb (1)"},
        {"only line feeds", "\n\n", totals(2, 3, 0, 0) + heading},
        {"punctuation splits words", "don't-stop(now)",
         totals(15, 1, 4, 4) + heading + "\ndon (1)\nt (1)\nstop (1)\nnow (1)"},
        {"symbols are not punctuation", "a+b $5", totals(6, 1, 2, 2) + heading + "\na+b (1)\n$5 (1)"},
        {"unicode white space splits", "x\u00A0y\u3000x", totals(5, 1, 3, 2) + heading + "\nx (2)\ny (1)"},
        {"characters are graphemes", "e\u0301 \U0001F44D\U0001F3FD",
         totals(3, 1, 2, 2) + heading + "\ne\u0301 (1)\n\U0001F44D\U0001F3FD (1)"},
        {"unicode lower-casing", "\u00C9T\u00C9 \u00E9t\u00E9", totals(7, 1, 2, 1) + heading + "\n\u00E9t\u00E9 (2)"},
        {"crlf counts one line per line feed", "a\r\nb", totals(3, 2, 2, 2) + heading + "\na (1)\nb (1)"},
        {"accents encoded either way are one word, listed as first seen", "caf\u00E9 cafe\u0301 CAFE\u0301",
         totals(14, 1, 3, 1) + heading + "\ncaf\u00E9 (3)"},
    };
    for (const Row& c : cases)
        EXPECT_EQ(TextActionStats().transform(c.input), c.expected) << c.name;
}

TEST(Stats, EqualCountsListBothWords) {
    const std::string report = TextActionStats().transform("The cat. the CAT!");
    EXPECT_EQ(report.substr(0, totals(17, 1, 4, 2).size()), totals(17, 1, 4, 2));
    const std::string list = report.substr(report.find("----\n") + 5);
    EXPECT_TRUE(list == "the (2)\ncat (2)" || list == "cat (2)\nthe (2)") << list;
}

} // namespace
