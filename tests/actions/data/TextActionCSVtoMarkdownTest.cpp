#include "actions/data/TextActionCSVtoMarkdown.h"
#include "core/ActionFactory.h"

#include <gtest/gtest.h>

#include <string>

using namespace lexorra;

namespace {

struct Case {
    const char* name;
    std::string input;
    bool firstAsHeader;
    std::string delimiter;
    std::string expected;
};

std::string run(std::string_view input, bool firstAsHeader = true, std::string delimiter = ",") {
    TextActionCSVtoMarkdown action;
    action.firstAsHeader = firstAsHeader;
    action.delimiter = std::move(delimiter);
    return action.transform(input);
}

} // namespace

TEST(CSVtoMarkdown, Table) {
    const Case cases[] = {
        // Lays out padded columns
        {"header and one record", "a,b\n1,22", true, ",", "|a|b |\n|-|--|\n|1|22|\n"},
        {"without header a blank first row", "a,b\n1,22", false, ",", "| |  |\n|-|--|\n|a|b |\n|1|22|\n"},
        {"single record has no rule", "a,bb", true, ",", "|a|bb|\n"},
        {"single record without header", "a,bb", false, ",", "| |  |\n|-|--|\n|a|bb|\n"},
        {"short records padded", "a,b,c\n1\n", true, ",", "|a|b|c|\n|-|-|-|\n|1| | |\n"},
        {"empty line is a row", "ab\n\ncd", true, ",", "|ab|\n|--|\n|  |\n|cd|\n"},
        {"empty column has width zero", "a,\n", true, ",", "|a||\n"},
        {"empty column with rule", "a,\nb,", true, ",", "|a||\n|-||\n|b||\n"},
        {"pipe copied as is", "a|b,c", true, ",", "|a|b|c|\n"},
        {"quoted field keeps the delimiter", "\"a,b\",c\n1,2", true, ",", "|a,b|c|\n|---|-|\n|1  |2|\n"},
        {"CR LF records", "a,b\r\n1,2\r\n", true, ",", "|a|b|\n|-|-|\n|1|2|\n"},
        {"empty input", "", true, ",", ""},
        {"empty input without header", "", false, ",", ""},
        // Widths count user-perceived characters
        {"accents", "é,x\nab,y", true, ",", "|é |x|\n|--|-|\n|ab|y|\n"},
        {"combining mark is one character", "e\u0301,x\nab,y", true, ",", "|e\u0301 |x|\n|--|-|\n|ab|y|\n"},
        {"emoji sequence is one character", "\U0001F469\u200D\U0001F4BB\nab", true, ",",
         "|\U0001F469\u200D\U0001F4BB |\n|--|\n|ab|\n"},
        // Delimiter option
        {"backslash t is a tab", "a\tb\n1\t2", true, "\\t", "|a|b|\n|-|-|\n|1|2|\n"},
        {"semicolon", "a;b,c\n1;2", true, ";", "|a|b,c|\n|-|---|\n|1|2  |\n"},
        {"empty option splits at spaces", "a b\n1 2", true, "", "|a|b|\n|-|-|\n|1|2|\n"},
        {"first character only", "a;b\n", true, ";,", "|a|b|\n"},
        {"non-ASCII delimiter", "a·b", true, "·", "|a|b|\n"},
        {"a lone backslash is itself", "a\\b", true, "\\", "|a|b|\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(c.input, c.firstAsHeader, c.delimiter), c.expected) << c.name;
}

TEST(CSVtoMarkdown, CutsCellsAt450Characters) {
    EXPECT_EQ(run(std::string(500, 'x') + ",b\n1,2"), "|" + std::string(450, 'x') + "|b|\n|" + std::string(450, '-') +
                                                          "|-|\n|1" + std::string(449, ' ') + "|2|\n");
    EXPECT_EQ(run("é" + std::string(460, 'y')), "|é" + std::string(449, 'y') + "|\n");
}
