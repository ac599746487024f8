// Case mapping and the other character actions over the shared benchmark texts.
#include "BenchData.h"

#include "actions/chars/TextActionConvertCase.h"
#include "actions/chars/TextActionQuotesConverter.h"
#include "actions/chars/TextActionSpecialTransformations.h"

#include <benchmark/benchmark.h>

namespace {

using lexorra::ConvertCaseType;

void convertCase(benchmark::State& state, ConvertCaseType type, bool accented, size_t size) {
    const std::string text = accented ? lexorra::bench::accentedText(size) : lexorra::bench::proseText(size);
    lexorra::TextActionConvertCase action;
    action.caseType = type;
    for (auto _ : state) benchmark::DoNotOptimize(action.transform(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

template <class Action> void otherAction(benchmark::State& state) {
    const std::string text = lexorra::bench::proseText(lexorra::bench::typingSize);
    Action action;
    for (auto _ : state) benchmark::DoNotOptimize(action.transform(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

} // namespace

BENCHMARK_CAPTURE(convertCase, upper_ascii_10MB, ConvertCaseType::upperCase, false, lexorra::bench::bigSize);
BENCHMARK_CAPTURE(convertCase, upper_accented_10MB, ConvertCaseType::upperCase, true, lexorra::bench::bigSize);
BENCHMARK_CAPTURE(convertCase, lower_accented_10MB, ConvertCaseType::lowerCase, true, lexorra::bench::bigSize);
BENCHMARK_CAPTURE(convertCase, title_typing, ConvertCaseType::titleCase, false, lexorra::bench::typingSize);
BENCHMARK_CAPTURE(convertCase, sentence_typing, ConvertCaseType::sentenceCase, false, lexorra::bench::typingSize);
BENCHMARK_CAPTURE(convertCase, alternating_typing, ConvertCaseType::alternatingCase, true, lexorra::bench::typingSize);
BENCHMARK_TEMPLATE(otherAction, lexorra::TextActionQuotesConverter);
BENCHMARK_TEMPLATE(otherAction, lexorra::TextActionSpecialTransformations);
