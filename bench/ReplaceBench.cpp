#include "BenchData.h"

#include "actions/lines/TextActionReplaceString.h"

#include <benchmark/benchmark.h>

namespace {

using lexorra::TextActionReplaceString;

void runReplace(benchmark::State& state, const std::string& find, const std::string& with, bool regex,
                bool caseSensitive) {
    const std::string text = lexorra::bench::proseText(static_cast<size_t>(state.range(0)));
    TextActionReplaceString action;
    action.replaceString = find;
    action.withString = with;
    action.isRegEx = regex;
    action.caseSensitive = caseSensitive;
    for (auto _ : state) benchmark::DoNotOptimize(action.transform(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_ReplaceLiteral(benchmark::State& s) { runReplace(s, "fox", "cat", false, true); }
void BM_ReplaceLiteralIgnoringCase(benchmark::State& s) { runReplace(s, "fox", "cat", false, false); }
void BM_ReplaceRegexDigits(benchmark::State& s) { runReplace(s, "(\\d+)", "[$1]", true, true); }

BENCHMARK(BM_ReplaceLiteral)->Arg(lexorra::bench::typingSize)->Arg(lexorra::bench::bigSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceLiteralIgnoringCase)->Arg(lexorra::bench::typingSize)->Arg(lexorra::bench::bigSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceRegexDigits)->Arg(lexorra::bench::typingSize)->Arg(lexorra::bench::bigSize)->Unit(benchmark::kMillisecond);

} // namespace
