// Sorting, de-duplicating, shuffling, line breaking and character removal over the
// typing-sized and the 10 MB texts.
#include "BenchData.h"

#include "core/ActionFactory.h"

#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using lexorra::TextActionType;
using lexorra::Value;

const std::string& text(bool big, bool accented) {
    static const std::string texts[4] = {
        lexorra::bench::proseText(lexorra::bench::typingSize),
        lexorra::bench::accentedText(lexorra::bench::typingSize),
        lexorra::bench::proseText(lexorra::bench::bigSize),
        lexorra::bench::accentedText(lexorra::bench::bigSize),
    };
    return texts[(big ? 2 : 0) + (accented ? 1 : 0)];
}

void runAction(benchmark::State& state, TextActionType type, std::vector<std::pair<std::string, Value>> options) {
    auto dictionary = lexorra::makeDictionary();
    dictionary.set("Type", lexorra::rawValue(type));
    for (auto& [key, value] : options) dictionary.set(key, value);
    auto action = lexorra::fromDictionary(type, dictionary);
    const std::string& input = text(state.range(0) != 0, state.range(1) != 0);
    for (auto _ : state) benchmark::DoNotOptimize(action->transform(input));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(input.size()));
}

// Arguments: {big, accented}.
#define LINES_B_BENCH(name, type, ...)                                                                                 \
    BENCHMARK_CAPTURE(runAction, name, type, __VA_ARGS__)                                                              \
        ->Args({0, 0})                                                                                                 \
        ->Args({0, 1})                                                                                                 \
        ->Args({1, 0})                                                                                                 \
        ->Args({1, 1})                                                                                                 \
        ->Unit(benchmark::kMillisecond)

LINES_B_BENCH(sortAlphabetical, TextActionType::reorderLines, {{"ReorderType", Value(2)}});
LINES_B_BENCH(sortByLength, TextActionType::reorderLines, {{"ReorderType", Value(4)}});
LINES_B_BENCH(sortShuffle, TextActionType::reorderLines, {{"ReorderType", Value(3)}});
LINES_B_BENCH(uniqueLines, TextActionType::removeDuplicates, {{"DuplicatesType", Value(0)}});
LINES_B_BENCH(uniqueWords, TextActionType::removeDuplicates, {{"DuplicatesType", Value(1)}});
LINES_B_BENCH(shuffleCharacters, TextActionType::shuffle, {{"ShuffleType", Value(0)}, {"KeepWords", Value(false)}});
LINES_B_BENCH(shuffleScramble, TextActionType::shuffle, {{"ShuffleType", Value(0)}});
LINES_B_BENCH(shuffleWords, TextActionType::shuffle, {{"ShuffleType", Value(1)}});
LINES_B_BENCH(breakWords, TextActionType::breakLines, {{"ActionType", Value(0)}});
LINES_B_BENCH(breakSentences, TextActionType::breakLines, {{"ActionType", Value(1)}});
LINES_B_BENCH(breakAfterText, TextActionType::breakLines, {{"ActionType", Value(2)}, {"CharacterForBreak", Value(", ")}});
LINES_B_BENCH(breakEveryCharacter, TextActionType::breakLines, {{"ActionType", Value(4)}});
LINES_B_BENCH(breakAtWidth, TextActionType::breakLines, {{"ActionType", Value(5)}, {"Position", Value(20)}});
LINES_B_BENCH(removeSelected, TextActionType::removeCharacters,
              {{"RemoveCharactersType", Value(0)}, {"CharactersForDelete", Value("aeiou")}});
LINES_B_BENCH(removeNonAlphanumeric, TextActionType::removeCharacters, {{"RemoveCharactersType", Value(1)}});
LINES_B_BENCH(removeEmojis, TextActionType::removeCharacters, {{"RemoveCharactersType", Value(6)}});
LINES_B_BENCH(removeNonAscii, TextActionType::removeCharacters, {{"RemoveCharactersType", Value(12)}});
LINES_B_BENCH(removeAfterPosition, TextActionType::removeCharacters,
              {{"RemoveCharactersType", Value(7)}, {"Position", Value(10)}});
LINES_B_BENCH(removeAfterText, TextActionType::removeCharacters,
              {{"RemoveCharactersType", Value(9)}, {"AfterBeforeText", Value(",")}});

} // namespace
