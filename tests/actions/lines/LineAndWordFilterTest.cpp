#include "support/ActionCases.h"

using namespace lexorra;
using namespace lexorra::testing;

namespace {

// Both kinds share their menu: 0 containing, 1 starting with, 2 not containing, 3 not starting with.
Options check(std::int64_t type, std::string text) {
    return {{"DeleteLinesType", type}, {"CheckText", std::move(text)}};
}
Options words(std::int64_t type, std::string text) {
    return {{"FilterWordsType", type}, {"CheckText", std::move(text)}};
}

} // namespace

TEST(DeleteLines, Table) {
    expectCases(
        TextActionType::deleteRows,
        {
            {"containing", "abc\nxyz\nb", check(0, "b"), "xyz"},
            {"containing keeps empty lines", "a\n\nx\nb", check(0, "x"), "a\n\nb"},
            {"containing with empty check keeps all", "a\n\nb", check(0, ""), "a\n\nb"},
            {"not containing with empty check removes all", "a\n\nb", check(2, ""), ""},
            {"not containing", "one\ntwo\nsix", check(2, "o"), "one\ntwo"},
            {"starting with", "#c\ncode\n #x", check(1, "#"), "code\n #x"},
            {"starting with empty check removes all", "a\n\nb", check(1, ""), ""},
            {"not starting with empty check keeps all", "a\n\nb", check(3, ""), "a\n\nb"},
            {"not starting with", "- a\nb\n- c", check(3, "- "), "- a\n- c"},
            {"case-sensitive", "Word\nWORD\nword", check(0, "word"), "Word\nWORD"},
            {"every line removed gives empty output", "a\nab\nba", check(0, "a"), ""},
            {"trailing empty line is a line", "a\nb\n", check(1, "a"), "b\n"},
            {"check longer than the line", "ab\nabcd", check(1, "abc"), "ab"},
            {"check text with a line feed never matches a line", "a\nb", check(0, "a\nb"), "a\nb"},
            {"CR belongs to its line", "a\r\nb\r\nc", check(0, "\r"), "c"},
            {"composed check finds decomposed text", "cafe\u0301\ncafe", check(0, "\u00e9"), "cafe"},
            {"decomposed check finds composed text", "caf\u00e9\ncafe", check(0, "e\u0301"), "cafe"},
            {"base letter does not match a composed one", "\u00e9\ne\u0301\nx", check(0, "e"), "\u00e9\ne\u0301\nx"},
            {"starts with an equivalent character", "e\u0301t\u00e9\net\u00e9", check(1, "\u00e9"), "et\u00e9"},
            {"base letter is not a prefix of its accented form", "e\u0301t\net", check(1, "e"), "e\u0301t"},
            {"ASCII prefix before an accented rest", "ab\u00e9\nabe\u0301", check(1, "ab"), ""},
            {"emoji prefix is a whole character", "\U0001F44D\U0001F3FD\n\U0001F44Dx", check(1, "\U0001F44D"),
             "\U0001F44D\U0001F3FD"},
            {"Kelvin sign equals K", "\u212Aelvin\nkelvin", check(1, "K"), "kelvin"},
        });
}

TEST(FilterWords, Table) {
    expectCases(TextActionType::filterWords,
                {
                    {"containing", "a b c", words(0, "b"), "a c"},
                    {"first word removed keeps the following space", "a b c", words(0, "a"), " b c"},
                    {"last word removed takes its space", "a b c", words(0, "c"), "a b"},
                    {"space at the end of a line stays", "a c ", words(0, "c"), "a "},
                    {"several spaces go with the word", "a   b c", words(0, "b"), "a c"},
                    {"line structure is kept", "x\nax b\nc x", words(0, "x"), "\n b\nc"},
                    {"trailing white space of the previous line stays", "a \n  b c", words(0, "b"), "a \n c"},
                    {"blank line between stays", "x\n   \ny", words(0, "y"), "x\n   \n"},
                    {"empty input", "", words(0, "a"), ""},
                    {"empty check is never contained", "a b", words(0, ""), "a b"},
                    {"not containing with empty check removes every word", "a b\nc ", words(2, ""), "\n "},
                    {"starting with", "undo redo unit", words(1, "un"), " redo"},
                    {"starting with empty check removes every word", " a\tb", words(1, ""), ""},
                    {"not starting with", "#tag word #x", words(3, "#"), "#tag #x"},
                    {"not containing", "one two six", words(2, "o"), "one two"},
                    {"case-sensitive", "Cat cat CAT", words(0, "cat"), "Cat CAT"},
                    {"tab and no-break space separate words", "a\tb\u00a0c", words(0, "b"), "a\u00a0c"},
                    {"CR is white space", "a b\r\nc", words(0, "b"), "a\r\nc"},
                    {"canonically equivalent check", "cafe\u0301 the", words(0, "\u00e9"), " the"},
                    {"prefix by whole characters", "e\u0301tat et", words(1, "e"), "e\u0301tat"},
                });
}
