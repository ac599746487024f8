// Amounts at the top of the generator's ranges: a superseded run must stop within a
// paragraph, and the biggest in-range request must end, at an item boundary, in bounded
// time and memory.
#include "actions/chars/Lorem.h"
#include "actions/chars/TextActionTextGenerator.h"
#include "support/ActionCases.h"
#include "text/Cancellation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <string>

using namespace lexorra;
using lexorra::testing::pieces;

namespace {

using Type = TextGeneratorType;
using Position = TextGeneratorPositionType;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A hundred thousand items of a thousand sentences of a thousand words: about 10^11 words.
constexpr std::int64_t hugeCount = 100000;
constexpr std::int64_t hugeUnit = 1000;

void makeHuge(TextActionTextGenerator& action, Type type, Position position) {
    action.generatorType = type;
    action.positionType = position;
    action.numberOfElements = hugeCount;
    action.minWordPerSentence = action.maxWordPerSentence = hugeUnit;
    action.minSentencesPerParagraph = action.maxSentencesPerParagraph = hugeUnit;
}

// A run that is superseded after the generator first asked: only a generator that keeps
// asking while it writes one long item notices.
struct StaleAfterFirstQuestion {
    std::atomic<int> questions{0};
    CancellationScope scope{[this] { return questions.fetch_add(1) > 0; }};
};

struct StaleCase {
    const char* name;
    Type type;
    Position position;
    std::int64_t elements;
    const char* input;
};

TEST(TextGeneratorLimits, StaleRunsStopWithinTheItemAndLeaveTheInput) {
    const StaleCase cases[] = {
        // One paragraph of a million words: one item, so asking per item is not enough.
        {"OneHugeParagraph", Type::paragraph, Position::asNewLine, 1, "kept"},
        {"ManyHugeParagraphs", Type::paragraph, Position::replace, 100000, "kept"},
        {"OneSentenceOfAThousandWordsManyTimes", Type::sentence, Position::firstLine, 100000, "kept"},
        {"WordsOnOneLine", Type::words, Position::everyLine, 100000, "one line"},
    };
    for (const auto& c : cases) {
        TextActionTextGenerator action;
        makeHuge(action, c.type, c.position);
        action.numberOfElements = c.elements;
        StaleAfterFirstQuestion stale;
        const auto start = Clock::now();
        EXPECT_EQ(action.transform(c.input), c.input) << c.name;
        EXPECT_GE(stale.questions.load(), 2) << c.name;
        EXPECT_LT(secondsSince(start), 2.0) << c.name;
    }
}

// The largest request: about 10^11 words asked for, 64 MiB written.
TEST(TextGeneratorLimits, HugeParagraphRequestEndsAtTheCapOnAParagraphBoundary) {
    TextActionTextGenerator action;
    makeHuge(action, Type::paragraph, Position::asNewLine);
    const auto start = Clock::now();
    const std::string out = action.transform("Title");
    const double seconds = secondsSince(start);
    const size_t cap = TextActionTextGenerator::maxGeneratedBytes;
    ASSERT_EQ(out.substr(0, 6), "Title\n");
    const std::string_view block = std::string_view(out).substr(6);
    EXPECT_LE(block.size(), cap);
    // Stops near the cap, not early: at most one paragraph short of it.
    const size_t longest = std::ranges::max(Lorem::words(), {}, [](std::string_view w) { return w.size(); }).size();
    const size_t paragraphBound = 1000 * 1000 * (longest + 1) + 1;
    EXPECT_GT(block.size() + paragraphBound, cap);
    // Whole paragraphs only: each line ends with a full stop, the block with a line feed.
    ASSERT_FALSE(block.empty());
    EXPECT_EQ(block.back(), '\n');
    size_t paragraphs = 0;
    for (size_t at = block.find('\n'); at != std::string_view::npos; at = block.find('\n', at + 1)) {
        ASSERT_GT(at, 0u);
        EXPECT_EQ(block[at - 1], '.') << "paragraph " << paragraphs;
        ++paragraphs;
    }
    EXPECT_GE(paragraphs, 5u);
    EXPECT_LT(seconds, 30.0);
    std::printf("64 MiB cap: %zu paragraphs, %zu bytes in %.2f s\n", paragraphs, block.size(), seconds);
}

// 2,000 lines of 100,000 words, or of 100,000 characters, each: far past the cap.
TEST(TextGeneratorLimits, HugeRequestOnEveryLineStopsAtALine) {
    const size_t count = 2000;
    std::string input;
    for (size_t i = 0; i < count; ++i)
        input += "L" + std::to_string(i) + "\n";
    input.pop_back();
    for (const Type type : {Type::words, Type::characters}) {
        TextActionTextGenerator action;
        makeHuge(action, type, Position::everyLine);
        const std::string out = action.transform(input);
        EXPECT_LE(out.size(), TextActionTextGenerator::maxGeneratedBytes + 3 * count);
        const auto lines = pieces(out, '\n');
        ASSERT_EQ(lines.size(), count);
        // Words replace each line, characters follow it; the lines after the cap get none.
        size_t full = 0;
        for (size_t i = 0; i < count; ++i) {
            const std::string kept = type == Type::words ? "" : "L" + std::to_string(i);
            ASSERT_EQ(lines[i].substr(0, kept.size()), kept) << i;
            const size_t added =
                type == Type::words ? std::count(lines[i].begin(), lines[i].end(), ' ') : lines[i].size() - kept.size();
            ASSERT_TRUE(added == hugeCount || lines[i] == kept) << i << ": " << added;
            full += added == hugeCount;
        }
        EXPECT_GT(full, 10u);
        EXPECT_LT(full, count);
        if (type == Type::characters) {
            EXPECT_EQ(full, TextActionTextGenerator::maxGeneratedBytes / hugeCount);
        }
    }
}

// Characters and words are picked several at a time out of one draw; every pick must still
// be uniform over its whole set.
TEST(TextGeneratorLimits, PooledPicksStayUniform) {
    const RandomBelow random = secureRandomBelow();
    const std::string characters = loremCharacters(random, 620000, false);
    std::map<char, int> perCharacter;
    for (char c : characters)
        ++perCharacter[c];
    EXPECT_EQ(perCharacter.size(), 62u);
    for (const auto& [c, n] : perCharacter) {
        EXPECT_GT(n, 9400) << c;
        EXPECT_LT(n, 10600) << c;
    }

    TextActionTextGenerator action;
    action.generatorType = Type::words;
    action.positionType = Position::replace;
    action.numberOfElements = 100000;
    std::map<std::string, int> perWord;
    for (int round = 0; round < 3; ++round) {
        auto words = pieces(action.transform(""), ' ');
        words.pop_back(); // the empty piece after the last word's space
        for (const auto& word : words)
            ++perWord[word];
    }
    EXPECT_EQ(perWord.size(), Lorem::words().size());
    // 300,000 picks over 249 words: about 1,205 each, standard deviation about 35.
    for (const auto& [w, n] : perWord) {
        EXPECT_GT(n, 1030) << w;
        EXPECT_LT(n, 1380) << w;
    }
}

} // namespace
