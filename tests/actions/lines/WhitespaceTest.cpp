#include "support/ActionCases.h"

using namespace lexorra;
using namespace lexorra::testing;

TEST(RemoveLineBreaks, Table) {
    expectCases(TextActionType::removeLineBreaks,
                {
                    {"two lines", "a\nb", {}, "ab"},
                    {"no space is inserted", "a \n b", {}, "a  b"},
                    {"empty lines vanish", "a\n\n\nb\n", {}, "ab"},
                    {"empty input", "", {}, ""},
                    {"carriage returns stay", "a\r\nb\r\n", {}, "a\rb\r"},
                    {"other newline characters stay", "a\u2028b\vc", {}, "a\u2028b\vc"},
                });
}

TEST(TrimLines, Table) {
    expectCases(TextActionType::trimLines,
                {
                    {"spaces and tabs", "  a \n\tb\t", {}, "a\nb"},
                    {"inner white space stays", " a  b ", {}, "a  b"},
                    {"trailing line feed keeps the empty last line", "a \n", {}, "a\n"},
                    {"white space lines become empty", "a\n \t \nb", {}, "a\n\nb"},
                    {"CR at the end of a line is trimmed", "a\r\nb\r\n", {}, "a\nb\n"},
                    {"unicode spaces", "\u3000\u00a0a\u2003\u202f", {}, "a"},
                    {"other newline characters are trimmed", "\u2028a\u0085\v\f", {}, "a"},
                    {"zero width space is not white space", "\u200ba\u200b", {}, "\u200ba\u200b"},
                    {"combining mark after a space is kept", " \u0301a", {}, "\u0301a"},
                    {"empty input", "", {}, ""},
                    {"only line feeds", "\n\n", {}, "\n\n"},
                });
}

TEST(RemoveMultipleSpaces, Table) {
    expectCases(TextActionType::removeMultipleSpaces,
                {
                    {"five spaces", "a     b", {}, "a b"},
                    {"two and three", "a  b   c", {}, "a b c"},
                    {"single spaces stay", "a b c", {}, "a b c"},
                    {"leading and trailing runs become one space", "   a   ", {}, " a "},
                    {"only spaces", "    ", {}, " "},
                    {"tab between spaces is untouched", "a \t b", {}, "a \t b"},
                    {"tabs are not collapsed", "a\t\tb", {}, "a\t\tb"},
                    {"no-break spaces are not spaces", "a\u00a0\u00a0b", {}, "a\u00a0\u00a0b"},
                    {"runs on several lines", "a  \n  b", {}, "a \n b"},
                    {"empty input", "", {}, ""},
                });
}

TEST(RemoveEmptyLines, Table) {
    const Options keep{{"TrimLinesBeforeApply", false}};
    const Options onlyDouble{{"OnlyDoubleEmptyLines", true}};
    const Options onlyDoubleKeep{{"OnlyDoubleEmptyLines", true}, {"TrimLinesBeforeApply", false}};
    expectCases(TextActionType::removeEmptyLines,
                {
                    {"defaults drop empty and blank lines", "a\n\n   \nb", {}, "a\nb"},
                    {"defaults trim kept lines", "  a \n\tb", {}, "a\nb"},
                    {"leading and trailing empty lines go", "\n\na\n\n", {}, "a"},
                    {"all empty", "\n \n", {}, ""},
                    {"empty input", "", {}, ""},
                    {"CR LF lines are trimmed to their text", "a\r\n\r\nb\r\n", {}, "a\nb"},
                    {"without trimming a space line stays", "a\n \n\nb ", keep, "a\n \nb "},
                    {"without trimming a CR line is not empty", "a\r\n\r\nb", keep, "a\r\n\r\nb"},
                    {"only double: a run shrinks to one", "a\n\n\n\nb", onlyDouble, "a\n\nb"},
                    {"only double: single empty line stays", "a\n\nb", onlyDouble, "a\n\nb"},
                    {"only double: leading run leaves one empty line", "\n\nx", onlyDouble, "\nx"},
                    {"only double: blank lines count as empty", "a\n \n\t\nb", onlyDouble, "a\n\nb"},
                    {"only double: trailing line feed kept", "a\n", onlyDouble, "a\n"},
                    {"only double without trimming", "a\n\n \n\n\nb", onlyDoubleKeep, "a\n\n \n\nb"},
                    {"a stored 1 reads as true", "a\n\n\nb", {{"Type", 6}, {"OnlyDoubleEmptyLines", 1}}, "a\n\nb"},
                });
}
