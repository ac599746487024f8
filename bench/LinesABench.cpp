#include "BenchData.h"

#include "core/ActionFactory.h"

#include <benchmark/benchmark.h>

#include <utility>
#include <vector>

namespace {

using lexorra::TextActionType;
using lexorra::Value;
using Options = std::vector<std::pair<const char*, Value>>;

void runAction(benchmark::State& state, TextActionType type, const Options& options, bool accented) {
    const auto bytes = static_cast<size_t>(state.range(0));
    const std::string text = accented ? lexorra::bench::accentedText(bytes) : lexorra::bench::proseText(bytes);
    auto action = lexorra::makeDefault(type);
    for (const auto& [key, value] : options)
        if (!action->setOption(key, value)) state.SkipWithError("option rejected");
    for (auto _ : state) benchmark::DoNotOptimize(action->transform(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

#define LINES_BENCH(name, type, accented, ...)                                                                  \
    void BM_##name(benchmark::State& s) { runAction(s, TextActionType::type, Options{__VA_ARGS__}, accented); } \
    BENCHMARK(BM_##name)                                                                                        \
        ->Arg(lexorra::bench::typingSize)                                                                       \
        ->Arg(lexorra::bench::bigSize)                                                                          \
        ->Unit(benchmark::kMillisecond)

LINES_BENCH(NumberLines, numberLines, false);
LINES_BENCH(NumberLinesRoman, numberLines, false, {"RomanNumerals", Value(true)});
LINES_BENCH(AddPrefix, addPrefix, false, {"Prefix", Value("> ")});
LINES_BENCH(AddSuffix, addSuffix, false, {"Suffix", Value(";")});
LINES_BENCH(InsertAtPositionAccented, incertText, true, {"InsertType", Value(2)}, {"Position", Value(5)},
            {"InsetText", Value("|")});
LINES_BENCH(InsertBeforeEveryWord, incertText, false, {"InsertType", Value(3)}, {"InsetText", Value("#")});
LINES_BENCH(InsertBeforeText, incertText, false, {"InsertType", Value(5)}, {"InsetBeforeAfterText", Value("fox")},
            {"InsetText", Value("red ")});
LINES_BENCH(InsertAfterEveryCharacterAccented, incertText, true, {"InsertType", Value(7)}, {"InsetText", Value("-")});
LINES_BENCH(TrimLines, trimLines, false);
LINES_BENCH(RemoveEmptyLines, removeEmptyLines, false);
LINES_BENCH(RemoveLineBreaks, removeLineBreaks, false);
LINES_BENCH(RemoveMultipleSpaces, removeMultipleSpaces, false);
LINES_BENCH(DeleteLinesContaining, deleteRows, false, {"CheckText", Value("fox")});
LINES_BENCH(DeleteLinesContainingAccented, deleteRows, true, {"CheckText", Value("fox")});
LINES_BENCH(DeleteLinesStartingWithAccented, deleteRows, true, {"CheckText", Value("the")},
            {"DeleteLinesType", Value(1)});
LINES_BENCH(FilterWordsContaining, filterWords, false, {"CheckText", Value("o")});
LINES_BENCH(FilterWordsContainingAccented, filterWords, true, {"CheckText", Value("o")});
LINES_BENCH(FilterWordsStartingWithAccented, filterWords, true, {"CheckText", Value("\u00e9")},
            {"FilterWordsType", Value(1)});

} // namespace
