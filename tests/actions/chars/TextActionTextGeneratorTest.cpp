#include "actions/chars/TextActionTextGenerator.h"
#include "actions/chars/Lorem.h"

#include "core/ActionFactory.h"
#include "text/Lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace lexorra;

namespace {

using Type = TextGeneratorType;
using Position = TextGeneratorPositionType;

const std::set<std::string_view> wordSet(Lorem::words().begin(), Lorem::words().end());
constexpr std::string_view alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

std::vector<std::string> splitAt(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator, start)) {
        pieces.emplace_back(text.substr(start, at - start));
        start = at + 1;
    }
    pieces.emplace_back(text.substr(start));
    return pieces;
}

// Checks one sentence ("Word word word.") and returns its word count, or -1 when malformed.
int sentenceWords(std::string_view sentence) {
    if (sentence.size() < 2 || sentence.back() != '.' || !std::isupper(static_cast<unsigned char>(sentence[0])))
        return -1;
    std::string body(sentence.substr(0, sentence.size() - 1));
    body[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(body[0])));
    const auto words = splitAt(body, ' ');
    for (const auto& w : words)
        if (!wordSet.count(w)) return -1;
    return static_cast<int>(words.size());
}

// Splits a paragraph into its sentences at ". " boundaries.
std::vector<std::string> sentencesOf(std::string_view paragraph) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t at = paragraph.find(". "); at != std::string_view::npos; at = paragraph.find(". ", start)) {
        out.emplace_back(paragraph.substr(start, at + 1 - start));
        start = at + 2;
    }
    out.emplace_back(paragraph.substr(start));
    return out;
}

TEST(TextGenerator, DefaultsGiveThreeParagraphsAfterTheInput) {
    TextActionTextGenerator action;
    for (int round = 0; round < 20; ++round) {
        const std::string out = action.transform("Title");
        ASSERT_EQ(out.substr(0, 6), "Title\n");
        ASSERT_EQ(out.back(), '\n');
        const auto paragraphs = splitAt(std::string_view(out).substr(6, out.size() - 7), '\n');
        ASSERT_EQ(paragraphs.size(), 3u) << out;
        for (const auto& p : paragraphs) {
            const auto sentences = sentencesOf(p);
            EXPECT_GE(sentences.size(), 3u);
            EXPECT_LE(sentences.size(), 9u);
            for (const auto& s : sentences) {
                const int n = sentenceWords(s);
                EXPECT_GE(n, 4) << s;
                EXPECT_LE(n, 16) << s;
            }
        }
    }
}

struct PlacementCase {
    const char* name;
    Type type;
    Position position;
    bool newLine;
    std::string input;
    // Checks the result, given the input.
    bool (*check)(const std::string& input, const std::string& out);
};

void PrintTo(const PlacementCase& c, std::ostream* os) {
    *os << c.name;
}

bool fiveWordsEachWithASpace(const std::string& out) {
    if (out.empty() || out.back() != ' ') return false;
    const auto words = splitAt(std::string_view(out).substr(0, out.size() - 1), ' ');
    return words.size() == 5 && std::all_of(words.begin(), words.end(), [](auto& w) { return wordSet.count(w); });
}

bool fiveSentences(const std::string& out) {
    if (out.empty() || out.back() != ' ') return false;
    const auto sentences = sentencesOf(std::string_view(out).substr(0, out.size() - 1));
    return sentences.size() == 5 &&
           std::all_of(sentences.begin(), sentences.end(), [](auto& s) { return sentenceWords(s) >= 4; });
}

bool fiveCharacters(const std::string& out) {
    return out.size() == 5 && out.find_first_not_of(alphabet) == std::string::npos;
}

class PlacementCases : public testing::TestWithParam<PlacementCase> {};

TEST_P(PlacementCases, Places) {
    const PlacementCase& c = GetParam();
    TextActionTextGenerator action;
    action.generatorType = c.type;
    action.positionType = c.position;
    action.numberOfElements = 5;
    action.newLineAfterEveryItem = c.newLine;
    for (int round = 0; round < 10; ++round) {
        const std::string out = action.transform(c.input);
        EXPECT_TRUE(c.check(c.input, out)) << c.name << ": [" << out << "]";
    }
}

const PlacementCase placements[] = {
    {"words replace", Type::words, Position::replace, false, "in",
     [](auto&, auto& out) { return fiveWordsEachWithASpace(out); }},
    {"words after last line", Type::words, Position::asNewLine, false, "a\nb",
     [](auto& in, auto& out) {
         return out.rfind(in + "\n", 0) == 0 && fiveWordsEachWithASpace(out.substr(in.size() + 1));
     }},
    {"words on last line", Type::words, Position::onLastLine, false, "a\nb",
     [](auto& in, auto& out) { return out.rfind(in, 0) == 0 && fiveWordsEachWithASpace(out.substr(in.size())); }},
    {"words before first line", Type::words, Position::firstLine, false, "a\nb",
     [](auto& in, auto& out) {
         const std::string tail = "\n" + in;
         return out.size() > tail.size() && out.substr(out.size() - tail.size()) == tail &&
                fiveWordsEachWithASpace(out.substr(0, out.size() - tail.size()));
     }},
    {"sentences replace", Type::sentence, Position::replace, false, "in",
     [](auto&, auto& out) { return fiveSentences(out); }},
    {"characters replace", Type::characters, Position::replace, false, "in",
     [](auto&, auto& out) { return fiveCharacters(out); }},
    {"characters ignore the new-line switch", Type::characters, Position::replace, true, "in",
     [](auto&, auto& out) { return fiveCharacters(out); }},
    {"new line after every word", Type::words, Position::replace, true, "in",
     [](auto&, auto& out) {
         const auto items = splitAt(out, '\n');
         return items.size() == 6 && items.back().empty() && std::all_of(items.begin(), items.end() - 1, [](auto& w) {
                    return w.size() > 1 && w.back() == ' ' && wordSet.count(w.substr(0, w.size() - 1));
                });
     }},
    {"new line after every paragraph doubles the break", Type::paragraph, Position::replace, true, "in",
     [](auto&, auto& out) {
         const auto items = splitAt(out, '\n');
         if (items.size() != 11) return false;
         for (size_t i = 0; i < 10; ++i)
             if ((i % 2 == 1) != items[i].empty()) return false;
         return true;
     }},
    {"every line with paragraphs drops the input", Type::paragraph, Position::everyLine, false, "KEEP\nME",
     [](auto&, auto& out) { return out.find("KEEP") == std::string::npos && splitAt(out, '\n').size() == 6; }},
    {"every line with sentences drops the input", Type::sentence, Position::everyLine, false, "KEEP\nME",
     [](auto&, auto& out) { return out.find("KEEP") == std::string::npos && fiveSentences(out); }},
    {"every line with words replaces each line", Type::words, Position::everyLine, false, "ONE\nTWO\nTHREE",
     [](auto&, auto& out) {
         const auto lines = splitAt(out, '\n');
         return lines.size() == 3 && std::all_of(lines.begin(), lines.end(), fiveWordsEachWithASpace) &&
                out.find_first_of("ONETWHR") == std::string::npos;
     }},
    {"every line with characters keeps each line", Type::characters, Position::everyLine, false, "one\n\nthree",
     [](auto&, auto& out) {
         const auto lines = splitAt(out, '\n');
         return lines.size() == 3 && lines[0].rfind("one", 0) == 0 && fiveCharacters(lines[0].substr(3)) &&
                fiveCharacters(lines[1]) && lines[2].rfind("three", 0) == 0 && fiveCharacters(lines[2].substr(5));
     }},
};
INSTANTIATE_TEST_SUITE_P(TextGenerator, PlacementCases, testing::ValuesIn(placements));

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

TEST(TextGenerator, BadBoundsAreCorrected) {
    const RandomBelow random = secureRandomBelow();
    for (int round = 0; round < 200; ++round) {
        const int swapped = sentenceWords(loremSentence(random, 9, 3));
        EXPECT_GE(swapped, 3);
        EXPECT_LE(swapped, 9);
        EXPECT_EQ(sentenceWords(loremSentence(random, -5, 0)), 1);
    }
}

TEST(TextGenerator, LargeAmountsAreGivenInFull) {
    // Only the byte limit of the generated text bounds a request.
    TextActionTextGenerator action;
    action.generatorType = Type::words;
    action.positionType = Position::replace;
    action.numberOfElements = 150000;
    EXPECT_EQ(splitAt(action.transform(""), ' ').size(), 150001u);
    action.generatorType = Type::characters;
    action.numberOfElements = 250000;
    EXPECT_EQ(action.transform("").size(), 250000u);
    action.generatorType = Type::sentence;
    action.numberOfElements = 1;
    action.minWordPerSentence = action.maxWordPerSentence = 2500;
    const std::string sentence = action.transform("");
    ASSERT_EQ(sentence.back(), ' ');
    EXPECT_EQ(sentenceWords(std::string_view(sentence).substr(0, sentence.size() - 1)), 2500);
}

TEST(TextGenerator, SentenceLengthsCoverTheWholeRange) {
    const RandomBelow random = secureRandomBelow();
    std::set<int> lengths;
    for (int i = 0; i < 500; ++i)
        lengths.insert(sentenceWords(loremSentence(random, 2, 4)));
    EXPECT_EQ(lengths, (std::set<int>{2, 3, 4}));
}

TEST(TextGenerator, BrokenCharactersKeepTheLengthAndWordLikeRuns) {
    const RandomBelow random = secureRandomBelow();
    size_t longestWord = 0;
    for (auto w : Lorem::words())
        longestWord = std::max(longestWord, w.size());
    for (int length : {1, 2, 10, 500}) {
        const std::string out = loremCharacters(random, length, true);
        ASSERT_EQ(out.size(), static_cast<size_t>(length));
        EXPECT_NE(out.front(), ' ');
        EXPECT_NE(out.back(), ' ');
        EXPECT_EQ(out.find("  "), std::string::npos);
        EXPECT_EQ(out.find_first_not_of(std::string(alphabet) + " "), std::string::npos);
        for (const auto& run : splitAt(out, ' '))
            EXPECT_LE(run.size(), longestWord);
        if (length == 500) {
            EXPECT_GT(std::count(out.begin(), out.end(), ' '), 30);
        }
    }
    EXPECT_EQ(loremCharacters(random, 10, false).find(' '), std::string::npos);
}

} // namespace
