#include "support/ActionCases.h"

using namespace lexorra;
using namespace lexorra::testing;

TEST(AddPrefix, Table) {
    expectCases(TextActionType::addPrefix,
                {
                    {"every line", "a\nb", {{"Prefix", "> "}}, "> a\n> b"},
                    {"empty middle line stays empty", "a\n\nb", {{"Prefix", "-"}}, "-a\n\n-b"},
                    {"empty input", "", {{"Prefix", "-"}}, ""},
                    {"trailing line feed keeps empty last line", "a\n", {{"Prefix", "-"}}, "-a\n"},
                    {"only line feeds", "\n\n", {{"Prefix", "-"}}, "\n\n"},
                    {"backslash-n is a line break", "a\nb", {{"Prefix", "\\n"}}, "\na\n\nb"},
                    {"doubled backslash still escapes the n", "a", {{"Prefix", "\\\\n"}}, "\\\na"},
                    {"backslash-t is literal", "a", {{"Prefix", "\\t"}}, "\\ta"},
                    {"carriage return stays in its line", "a\r\nb\r\n", {{"Prefix", "#"}}, "#a\r\n#b\r\n"},
                    {"line of a lone CR is not empty", "\r", {{"Prefix", "#"}}, "#\r"},
                    {"other newlines do not split", "a\u2028b", {{"Prefix", "#"}}, "#a\u2028b"},
                    {"empty prefix", "a\n\nb", {}, "a\n\nb"},
                    {"percent is literal", "x", {{"Prefix", "%d "}}, "%d x"},
                });
}

TEST(AddSuffix, Table) {
    expectCases(TextActionType::addSuffix,
                {
                    {"every line", "a\nb", {{"Suffix", ";"}}, "a;\nb;"},
                    {"empty middle line stays empty", "a\n\nb", {{"Suffix", ";"}}, "a;\n\nb;"},
                    {"empty input", "", {{"Suffix", ";"}}, ""},
                    {"trailing line feed", "a\n", {{"Suffix", ";"}}, "a;\n"},
                    {"CR LF gives an extra empty line", "a\r\nb\r\n", {{"Suffix", ";"}}, "a;\n\nb;\n\n"},
                    {"lone CR becomes a line feed", "a\rb", {{"Suffix", ";"}}, "a;\nb;"},
                    {"vertical tab and form feed", "a\vb\fc", {{"Suffix", ";"}}, "a;\nb;\nc;"},
                    {"NEL, LS and PS", "a\u0085b\u2028c\u2029d", {{"Suffix", ";"}}, "a;\nb;\nc;\nd;"},
                    {"backslash-n stays literal", "a", {{"Suffix", "\\n"}}, "a\\n"},
                    {"empty suffix still rejoins with line feeds", "a\rb", {}, "a\nb"},
                    {"non-breaking space is not a newline", "a\u00a0b", {{"Suffix", ";"}}, "a\u00a0b;"},
                    {"similar three-byte character is not a newline", "a\u2027b", {{"Suffix", ";"}}, "a\u2027b;"},
                });
}
