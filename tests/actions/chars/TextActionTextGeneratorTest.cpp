#include "actions/chars/TextActionTextGenerator.h"
#include "actions/chars/Lorem.h"

#include "support/ActionCases.h"
#include "text/Cancellation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <vector>

using namespace lexorra;
using lexorra::testing::pieces;

namespace {

using Type = TextGeneratorType;
using Position = TextGeneratorPositionType;

const std::set<std::string_view> wordSet(Lorem::words().begin(), Lorem::words().end());
constexpr std::string_view alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// The text with every lorem word written as w, or W when capitalised, so that a regular
// expression can say what a generated text looks like.
std::string shape(std::string_view text) {
    std::string out;
    for (size_t i = 0, end = 0; i < text.size(); i = end) {
        for (end = i; end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]));)
            ++end;
        if (end == i) {
            out += text[end++];
            continue;
        }
        std::string word(text.substr(i, end - i));
        const bool capital = std::isupper(static_cast<unsigned char>(word[0]));
        word[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(word[0])));
        out += wordSet.count(word) ? (capital ? "W" : "w") : std::string(text.substr(i, end - i));
    }
    return out;
}

bool looksLike(std::string_view text, const std::string& pattern) {
    return std::regex_match(shape(text), std::regex(pattern));
}

// The default bounds: four to sixteen words a sentence, three to nine sentences a paragraph.
const std::string sentence = "W( w){3,15}\\.";
const std::string paragraph = "(" + sentence + " ){2,8}" + sentence;

TEST(TextGenerator, DefaultsGiveThreeParagraphsAfterTheInput) {
    TextActionTextGenerator action;
    for (int round = 0; round < 20; ++round) {
        const std::string out = action.transform("Title");
        EXPECT_TRUE(looksLike(out, "Title\n(" + paragraph + "\n){3}")) << out;
    }
}

struct Placement {
    const char* name;
    Type type;
    Position position;
    bool newLine;
    std::string input;
    std::string pattern; // of the result's shape; characters are matched as they are
};

TEST(TextGenerator, PlacesItsItems) {
    const std::string words = "(w ){5}", sentences = "(" + sentence + " ){5}", characters = "[a-zA-Z0-9]{5}";
    const Placement cases[] = {
        {"words replace", Type::words, Position::replace, false, "in", words},
        {"words after last line", Type::words, Position::asNewLine, false, "a\nb", "a\nb\n" + words},
        {"words on last line", Type::words, Position::onLastLine, false, "a\n1", "a\n1" + words},
        {"words before first line", Type::words, Position::firstLine, false, "a\nb", words + "\na\nb"},
        {"sentences replace", Type::sentence, Position::replace, false, "in", sentences},
        {"characters replace", Type::characters, Position::replace, false, "in", characters},
        {"characters ignore the new-line switch", Type::characters, Position::replace, true, "in", characters},
        {"new line after every word", Type::words, Position::replace, true, "in", "(w \n){5}"},
        {"new line after every paragraph doubles the break", Type::paragraph, Position::replace, true, "in",
         "(" + paragraph + "\n\n){5}"},
        {"every line with paragraphs drops the input", Type::paragraph, Position::everyLine, false, "KEEP\nME",
         "(" + paragraph + "\n){5}"},
        {"every line with sentences drops the input", Type::sentence, Position::everyLine, false, "KEEP\nME",
         sentences},
        {"every line with words replaces each line", Type::words, Position::everyLine, false, "ONE\nTWO\nTHREE",
         words + "\n" + words + "\n" + words},
        {"every line with characters keeps each line", Type::characters, Position::everyLine, false, "one\n\nthree",
         "one" + characters + "\n" + characters + "\nthree" + characters},
    };
    for (const auto& c : cases) {
        TextActionTextGenerator action;
        action.generatorType = c.type;
        action.positionType = c.position;
        action.numberOfElements = 5;
        action.newLineAfterEveryItem = c.newLine;
        for (int round = 0; round < 10; ++round) {
            const std::string out = action.transform(c.input);
            EXPECT_TRUE(c.type == Type::characters ? std::regex_match(out, std::regex(c.pattern))
                                                   : looksLike(out, c.pattern))
                << c.name << ": [" << out << "]";
        }
    }
}

TEST(TextGenerator, NothingToGenerateLeavesTheInput) {
    TextActionTextGenerator action;
    for (int n : {0, -1, -100000}) {
        action.numberOfElements = n;
        for (int t = 0; t < 4; ++t)
            for (int p = 0; p < 5; ++p) {
                action.generatorType = static_cast<Type>(t);
                action.positionType = static_cast<Position>(p);
                EXPECT_EQ(action.transform("a\nb"), "a\nb") << n << " " << t << " " << p;
            }
    }
}

TEST(TextGenerator, SentenceBoundsAreCorrectedAndCoveredWhole) {
    const RandomBelow random = secureRandomBelow();
    std::set<size_t> lengths;
    for (int round = 0; round < 500; ++round) {
        const std::string swapped = loremSentence(random, 9, 3);
        EXPECT_TRUE(looksLike(swapped, "W( w){2,8}\\.")) << swapped;
        EXPECT_TRUE(looksLike(loremSentence(random, -5, 0), "W\\."));
        lengths.insert(pieces(loremSentence(random, 2, 4), ' ').size());
    }
    EXPECT_EQ(lengths, (std::set<size_t>{2, 3, 4}));
}

TEST(TextGenerator, LargeAmountsAreGivenInFull) {
    // Only the byte limit of the generated text bounds a request; a run that stays current is not cut.
    int questions = 0;
    CancellationScope current([&] { return ++questions < 0; });
    TextActionTextGenerator action;
    action.generatorType = Type::words;
    action.positionType = Position::replace;
    action.numberOfElements = 150000;
    EXPECT_EQ(pieces(action.transform(""), ' ').size(), 150001u);
    EXPECT_GT(questions, 1);
    action.generatorType = Type::characters;
    action.numberOfElements = 250000;
    EXPECT_EQ(action.transform("").size(), 250000u);
    action.generatorType = Type::sentence;
    action.numberOfElements = 1;
    action.minWordPerSentence = action.maxWordPerSentence = 2500;
    EXPECT_EQ(shape(action.transform("")), "W" + lexorra::testing::repeat(" w", 2499) + ". ");
}

TEST(TextGenerator, BrokenCharactersKeepTheLengthAndWordLikeRuns) {
    const RandomBelow random = secureRandomBelow();
    const size_t longestWord = std::ranges::max(Lorem::words(), {}, [](std::string_view w) { return w.size(); }).size();
    for (int length : {1, 2, 10, 500}) {
        const std::string out = loremCharacters(random, length, true);
        ASSERT_EQ(out.size(), static_cast<size_t>(length));
        EXPECT_NE(out.front(), ' ');
        EXPECT_NE(out.back(), ' ');
        EXPECT_EQ(out.find("  "), std::string::npos);
        EXPECT_EQ(out.find_first_not_of(std::string(alphabet) + " "), std::string::npos);
        for (const auto& run : pieces(out, ' '))
            EXPECT_LE(run.size(), longestWord);
        if (length == 500) {
            EXPECT_GT(std::count(out.begin(), out.end(), ' '), 30);
        }
    }
    EXPECT_EQ(loremCharacters(random, 10, false).find(' '), std::string::npos);
}

} // namespace
