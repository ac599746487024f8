#include "actions/chars/TextActionConvertCase.h"

#include "core/ActionFactory.h"
#include "core/Json.h"
#include "text/Graphemes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using lexorra::ConvertCaseType;
using lexorra::TextActionConvertCase;

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

void check(const std::vector<Case>& cases) {
    for (const auto& c : cases)
        EXPECT_EQ(run(c.type, c.input), c.expected) << c.name << ": \"" << c.input << "\"";
}

} // namespace

TEST(TextActionConvertCase, EmptyTextStaysEmptyForEveryCase) {
    for (int type = 0; type <= static_cast<int>(ConvertCaseType::alternatingCase); ++type)
        EXPECT_EQ(run(static_cast<ConvertCaseType>(type), ""), "") << type;
}

TEST(TextActionConvertCase, LineByLineCasesKeepEveryLine) {
    for (auto type :
         {ConvertCaseType::titleCase, ConvertCaseType::sentenceCase, ConvertCaseType::camelCase,
          ConvertCaseType::pascalCase, ConvertCaseType::camelCaseToNormal, ConvertCaseType::camelCaseToSnakeCase}) {
        const std::string out = run(type, "a\n\nb\n");
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3) << static_cast<int>(type) << ": " << out;
    }
}

TEST(TextActionConvertCase, Table) {
    check({
        // Upper and lower use full mappings
        {"ascii", ConvertCaseType::upperCase, "Hello, World 42!\n", "HELLO, WORLD 42!\n"},
        {"sharp s", ConvertCaseType::upperCase, "straße", "STRASSE"},
        {"ligature", ConvertCaseType::upperCase, "\uFB01x", "FIX"},
        {"accents", ConvertCaseType::upperCase, "crème brûlée", "CRÈME BRÛLÉE"},
        {"cyrillic", ConvertCaseType::upperCase, "привет", "ПРИВЕТ"},
        {"deseret", ConvertCaseType::upperCase, "\U00010428", "\U00010400"},
        {"lower ascii", ConvertCaseType::lowerCase, "HeLLo\tWORLD", "hello\tworld"},
        {"final sigma", ConvertCaseType::lowerCase, "ΟΔΟΣ ΟΔΟΣ.", "οδος οδος."},
        {"dotted I", ConvertCaseType::lowerCase, "\u0130", "i\u0307"},
        {"original", ConvertCaseType::original, "MiXeD", "MiXeD"},
        // Capitalize words splits only at white space
        {"basic", ConvertCaseType::capitalizeWords, "hELLO wORLD", "Hello World"},
        {"hyphen and apostrophe stay inside", ConvertCaseType::capitalizeWords, "well-known don't", "Well-known Don't"},
        {"tabs and lines", ConvertCaseType::capitalizeWords, "a\tb\nc  d", "A\tB\nC  D"},
        {"title-case form", ConvertCaseType::capitalizeWords, "ǆemal", "ǅemal"},
        {"accented", ConvertCaseType::capitalizeWords, "éCOLE", "École"},
        // Title case follows word classes
        {"headline", ConvertCaseType::titleCase, "the quick brown fox jumps over the lazy dog",
         "The Quick Brown Fox Jumps Over the Lazy Dog"},
        {"article first", ConvertCaseType::titleCase, "a tale of two cities", "A Tale of two Cities"},
        {"the first even after a quote", ConvertCaseType::titleCase, "\"the end\"", "\"The End\""},
        {"a lone article first inside quotes", ConvertCaseType::titleCase, "\"a\" is for apple", "\"A\" Is for Apple"},
        {"a lone article first inside brackets", ConvertCaseType::titleCase, "(a) first point", "(A) First Point"},
        {"later articles lower", ConvertCaseType::titleCase, "THE WAR AND THE PEACE", "The War and the Peace"},
        {"short prepositions lower, long ones capitalised", ConvertCaseType::titleCase,
         "gone with the wind from the north", "Gone With the Wind From the North"},
        {"conjunction", ConvertCaseType::titleCase, "pride and prejudice", "Pride and Prejudice"},
        {"trimmed", ConvertCaseType::titleCase, " \t harry potter \t", "Harry Potter"},
        {"two sentences, one space", ConvertCaseType::titleCase, "hello there.   general kenobi.",
         "Hello There. General Kenobi."},
        {"per line", ConvertCaseType::titleCase, "an apple\nthe pear", "An Apple\nThe Pear"},
        // Sentence case
        {"shouting", ConvertCaseType::sentenceCase, "HELLO WORLD. BYE NOW.", "Hello world. Bye now."},
        {"spaces between sentences", ConvertCaseType::sentenceCase, "one.    two?  three", "One. Two? Three"},
        {"inner spaces collapse, tabs stay", ConvertCaseType::sentenceCase, "a  b\tc", "A b\tc"},
        {"sharp s capitalised first", ConvertCaseType::sentenceCase, "ßa", "Ssa"},
        // Camel and pascal case
        {"camel", ConvertCaseType::camelCase, "hello world", "helloWorld"},
        {"camel keeps the rest", ConvertCaseType::camelCase, "HELLO WORLD", "hELLOWORLD"},
        {"camel leading separator", ConvertCaseType::camelCase, " hello world", "HelloWorld"},
        {"camel digits and underscores", ConvertCaseType::camelCase, "my_var2 name", "myVar2Name"},
        {"pascal", ConvertCaseType::pascalCase, "my_var2 name", "MyVar2Name"},
        {"accented letters are alphanumeric", ConvertCaseType::pascalCase, "élan vital", "ÉlanVital"},
        {"combining mark stays in the word", ConvertCaseType::camelCase, "e\u0301t\u00E9 x", "e\u0301t\u00E9X"},
        // Splitting identifiers
        {"normal", ConvertCaseType::camelCaseToNormal, "helloWorld", "hello world"},
        {"snake", ConvertCaseType::camelCaseToSnakeCase, "helloWorld", "hello_world"},
        {"acronym then word", ConvertCaseType::camelCaseToNormal, "XMLParser", "xml parser"},
        {"acronym inside", ConvertCaseType::camelCaseToNormal, "parseJSONResponse", "parse json response"},
        {"digits", ConvertCaseType::camelCaseToNormal, "Version2Beta", "version 2 beta"},
        {"snake of userID", ConvertCaseType::camelCaseToSnakeCase, "userID", "user_id"},
        {"per line", ConvertCaseType::camelCaseToSnakeCase, "aB\ncD", "a_b\nc_d"},
        // Line by line
        {"pascal", ConvertCaseType::pascalCase, "a\n\nb", "A\n\nB"},
        {"camel", ConvertCaseType::camelCase, "one two\n\nthree four", "oneTwo\n\nthreeFour"},
        {"sentence", ConvertCaseType::sentenceCase, "ONE.\n\n  two ", "One.\n\nTwo"},

        // Alternating case runs over graphemes
        {"words", ConvertCaseType::alternatingCase, "hello world", "HeLlO wOrLd"},
        {"punctuation leaves the flag", ConvertCaseType::alternatingCase, "ab-cd", "Ab-Cd"},
        {"across lines", ConvertCaseType::alternatingCase, "ab\nc", "Ab\nC"},
        {"a decomposed letter is one character", ConvertCaseType::alternatingCase, "e\u0301e\u0301e\u0301",
         "E\u0301e\u0301E\u0301"},
        {"sharp s", ConvertCaseType::alternatingCase, "ßß", "SSß"},
    });
}

TEST(TextActionConvertCase, RandomCaseChangesOnlyLetterCase) {
    const std::string input = "Hello, Wörld! 123\nsecond line with ÉÈ";
    bool sawUpper = false, sawLower = false;
    for (int round = 0; round < 20; ++round) {
        const std::string out = run(ConvertCaseType::randomcase, input);
        EXPECT_EQ(lexorra::text::graphemeCount(out), lexorra::text::graphemeCount(input)) << out;
        EXPECT_EQ(run(ConvertCaseType::lowerCase, out), run(ConvertCaseType::lowerCase, input)) << out;
        sawUpper |= out.find('h') == std::string::npos;
        sawLower |= out.find('h') != std::string::npos;
    }
    EXPECT_TRUE(sawUpper && sawLower) << "the first letter never changed case in 20 rounds";
}
