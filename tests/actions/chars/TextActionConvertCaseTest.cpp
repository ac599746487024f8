#include "actions/chars/TextActionConvertCase.h"

#include "text/Graphemes.h"

#include <gtest/gtest.h>

#include <string>

using lexorra::ConvertCaseType;
using lexorra::TextActionConvertCase;
using T = ConvertCaseType;

namespace {

struct Case {
    const char* name;
    ConvertCaseType type;
    std::string input;
    std::string expected;
};

std::string run(ConvertCaseType type, std::string_view input) {
    TextActionConvertCase action;
    action.caseType = type;
    return action.transform(input);
}

} // namespace

TEST(TextActionConvertCase, EmptyTextStaysEmptyForEveryCase) {
    for (int type = 0; type <= static_cast<int>(T::alternatingCase); ++type)
        EXPECT_EQ(run(static_cast<ConvertCaseType>(type), ""), "") << type;
}

TEST(TextActionConvertCase, Table) {
    const Case cases[] = {
        // Upper and lower use full mappings
        {"ascii", T::upperCase, "Hello, World 42!\n", "HELLO, WORLD 42!\n"},
        {"sharp s", T::upperCase, "straße", "STRASSE"},
        {"ligature", T::upperCase, "\uFB01x", "FIX"},
        {"accents", T::upperCase, "crème brûlée", "CRÈME BRÛLÉE"},
        {"cyrillic", T::upperCase, "привет", "ПРИВЕТ"},
        {"deseret", T::upperCase, "\U00010428", "\U00010400"},
        {"lower ascii", T::lowerCase, "HeLLo\tWORLD", "hello\tworld"},
        {"final sigma", T::lowerCase, "ΟΔΟΣ ΟΔΟΣ.", "οδος οδος."},
        {"dotted I", T::lowerCase, "\u0130", "i\u0307"},
        {"original", T::original, "MiXeD", "MiXeD"},
        // Capitalize words splits only at white space
        {"basic", T::capitalizeWords, "hELLO wORLD", "Hello World"},
        {"hyphen and apostrophe stay inside", T::capitalizeWords, "well-known don't", "Well-known Don't"},
        {"tabs and lines", T::capitalizeWords, "a\tb\nc  d", "A\tB\nC  D"},
        {"title-case form", T::capitalizeWords, "ǆemal", "ǅemal"},
        {"accented", T::capitalizeWords, "éCOLE", "École"},
        // Title case follows word classes
        {"headline", T::titleCase, "the quick brown fox jumps over the lazy dog",
         "The Quick Brown Fox Jumps Over the Lazy Dog"},
        {"article first", T::titleCase, "a tale of two cities", "A Tale of two Cities"},
        {"the first even after a quote", T::titleCase, "\"the end\"", "\"The End\""},
        {"a lone article first inside quotes", T::titleCase, "\"a\" is for apple", "\"A\" Is for Apple"},
        {"a lone article first inside brackets", T::titleCase, "(a) first point", "(A) First Point"},
        {"later articles lower", T::titleCase, "THE WAR AND THE PEACE", "The War and the Peace"},
        {"short prepositions lower, long ones capitalised", T::titleCase, "gone with the wind from the north",
         "Gone With the Wind From the North"},
        {"conjunction", T::titleCase, "pride and prejudice", "Pride and Prejudice"},
        {"trimmed", T::titleCase, " \t harry potter \t", "Harry Potter"},
        {"two sentences, one space", T::titleCase, "hello there.   general kenobi.", "Hello There. General Kenobi."},
        {"per line", T::titleCase, "an apple\n\nthe pear\n", "An Apple\n\nThe Pear\n"},
        {"numbers between words", T::titleCase, "chapter 12 of 99231 pages and 7 maps",
         "Chapter 12 of 99231 Pages and 7 Maps"},
        {"spaces collapse without a full stop", T::titleCase, "war  and  peace", "War and Peace"},
        {"accented sentence starts", T::titleCase, "émile and the fox.  émile is here",
         "Émile and the Fox. Émile Is Here"},
        {"hyphens, apostrophes, brackets", T::titleCase, "don't stop the rock-and-roll (a b c) x-ray, it's ok!",
         "Don't Stop the Rock-and-Roll (a B C) x-Ray, It's Ok!"},
        {"every white space starts a word, underscores join", T::titleCase,
         "THE_END of\tan ERA\vover the\fhills and far_away valleys\r",
         "The_end of\tan Era\vOver the\fHills and Far_away Valleys"},
        // Sentence case
        {"shouting", T::sentenceCase, "HELLO WORLD. BYE NOW.", "Hello world. Bye now."},
        {"spaces between sentences", T::sentenceCase, "one.    two?  three", "One. Two? Three"},
        {"inner spaces collapse, tabs stay", T::sentenceCase, "a  b\tc", "A b\tc"},
        {"sharp s capitalised first", T::sentenceCase, "ßa", "Ssa"},
        // Camel and pascal case
        {"camel", T::camelCase, "hello world", "helloWorld"},
        {"camel keeps the rest", T::camelCase, "HELLO WORLD", "hELLOWORLD"},
        {"camel leading separator", T::camelCase, " hello world", "HelloWorld"},
        {"camel digits and underscores", T::camelCase, "my_var2 name", "myVar2Name"},
        {"pascal", T::pascalCase, "my_var2 name", "MyVar2Name"},
        {"accented letters are alphanumeric", T::pascalCase, "élan vital", "ÉlanVital"},
        {"combining mark stays in the word", T::camelCase, "e\u0301t\u00E9 x", "e\u0301t\u00E9X"},
        // Splitting identifiers
        {"normal", T::camelCaseToNormal, "helloWorld", "hello world"},
        {"snake", T::camelCaseToSnakeCase, "helloWorld", "hello_world"},
        {"acronym then word", T::camelCaseToNormal, "XMLParser", "xml parser"},
        {"acronym inside", T::camelCaseToNormal, "parseJSONResponse", "parse json response"},
        {"digits", T::camelCaseToNormal, "Version2Beta", "version 2 beta"},
        {"snake of userID", T::camelCaseToSnakeCase, "userID", "user_id"},
        {"per line", T::camelCaseToSnakeCase, "aB\n\ncD\n", "a_b\n\nc_d\n"},
        {"per line", T::camelCaseToNormal, "aB\n\ncD\n", "a b\n\nc d\n"},
        // Line by line
        {"pascal", T::pascalCase, "a\n\nb\n", "A\n\nB\n"},
        {"camel", T::camelCase, "one two\n\nthree four\n", "oneTwo\n\nthreeFour\n"},
        {"sentence", T::sentenceCase, "ONE.\n\n  two \n", "One.\n\nTwo\n"},

        // Alternating case runs over graphemes
        {"words", T::alternatingCase, "hello world", "HeLlO wOrLd"},
        {"punctuation leaves the flag", T::alternatingCase, "ab-cd", "Ab-Cd"},
        {"across lines", T::alternatingCase, "ab\nc", "Ab\nC"},
        {"a decomposed letter is one character", T::alternatingCase, "e\u0301e\u0301e\u0301", "E\u0301e\u0301E\u0301"},
        {"sharp s", T::alternatingCase, "ßß", "SSß"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(c.type, c.input), c.expected) << c.name << ": \"" << c.input << "\"";
}

TEST(TextActionConvertCase, RandomCaseChangesOnlyLetterCase) {
    const std::string input = "Hello, Wörld! 123\nsecond line with ÉÈ";
    bool sawUpper = false, sawLower = false;
    for (int round = 0; round < 20; ++round) {
        const std::string out = run(T::randomcase, input);
        EXPECT_EQ(lexorra::text::graphemeCount(out), lexorra::text::graphemeCount(input)) << out;
        EXPECT_EQ(run(T::lowerCase, out), run(T::lowerCase, input)) << out;
        sawUpper |= out.find('h') == std::string::npos;
        sawLower |= out.find('h') != std::string::npos;
    }
    EXPECT_TRUE(sawUpper && sawLower) << "the first letter never changed case in 20 rounds";
}
