#include "BenchData.h"

#include "core/ActionFactory.h"
#include "core/RunToken.h"
#include "core/TextActionSeq.h"
#include "core/WorkflowRuns.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <vector>

namespace {

using namespace lexorra;

Dictionary option(const char* key, Value value) {
    Dictionary d = makeDictionary();
    d.set(key, std::move(value));
    return d;
}

// Sort lines, trim, upper case, replace, remove duplicate lines: five steps that each
// rewrite the whole text, so a trace holds five outputs as large as the input.
TextActionSeq fiveSteps() {
    TextActionSeq workflow("Five steps");
    Dictionary replace = option("ReplaceString", "THE");
    replace.set("WithString", "A");
    workflow.actionsArray = {fromDictionary(TextActionType::reorderLines, option("ReorderType", 2)),
                             makeDefault(TextActionType::trimLines),
                             fromDictionary(TextActionType::convertCase, option("CaseType", 1)),
                             fromDictionary(TextActionType::replaceString, replace),
                             fromDictionary(TextActionType::removeDuplicates, option("DuplicatesType", 0))};
    return workflow;
}

// CPU time of this thread: the other programs on a busy machine do not count.
double millisecondsOf(const auto& run) {
    const auto now = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    };
    const double begun = now();
    run();
    return now() - begun;
}

// Plain and traced runs alternate, each going first every other time, so that warm caches and
// reused memory favour neither; "ratio" is the traced time over the plain one.
void BM_WorkflowTraceOverhead(benchmark::State& state) {
    const std::string text = bench::proseText(static_cast<size_t>(state.range(0)));
    const TextActionSeq workflow = fiveSteps();
    const auto plainRun = [&] {
        RunEnvironment environment(nullptr);
        benchmark::DoNotOptimize(workflow.run(text, RunToken::application()));
    };
    const auto tracedRun = [&] {
        std::vector<StepRecord> trace;
        RunEnvironment environment(nullptr, &trace);
        benchmark::DoNotOptimize(workflow.run(text, RunToken::application()));
        benchmark::DoNotOptimize(trace.data());
    };
    double plain = 0, traced = 0;
    bool plainFirst = true;
    for (auto _ : state) {
        if (plainFirst) plain += millisecondsOf(plainRun);
        traced += millisecondsOf(tracedRun);
        if (!plainFirst) plain += millisecondsOf(plainRun);
        plainFirst = !plainFirst;
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["plain_ms"] = plain / runs;
    state.counters["traced_ms"] = traced / runs;
    state.counters["ratio"] = traced / plain;
}

BENCHMARK(BM_WorkflowTraceOverhead)->Arg(lexorra::bench::typingSize)->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorkflowTraceOverhead)->Arg(lexorra::bench::bigSize)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace
