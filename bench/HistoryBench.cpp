#include "BenchData.h"

#include "core/RunHistory.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

using lexorra::RunHistory;

std::filesystem::path scratchFile() {
    auto file = std::filesystem::temp_directory_path() / ("lexorra-history-bench-" + std::to_string(::getpid()));
    std::filesystem::remove(file);
    return file;
}

// What the window pays per kept run: the copy of input and result into the queue.
void BM_HistoryHandOver(benchmark::State& state) {
    const std::string text = lexorra::bench::proseText(static_cast<size_t>(state.range(0)));
    RunHistory history(scratchFile());
    int n = 0;
    for (auto _ : state) {
        // Every run a run of its own (another sequence), as a worst case for the writer.
        history.record({.sequenceId = std::to_string(n++), .input = text, .result = text});
        state.PauseTiming();
        history.flush();
        state.ResumeTiming();
    }
}

// What the history's thread pays per kept run: the insert, the trimming, the commit.
void BM_HistoryWrite(benchmark::State& state) {
    const std::string text = lexorra::bench::proseText(static_cast<size_t>(state.range(0)));
    RunHistory history(scratchFile());
    int n = 0;
    for (auto _ : state) {
        history.record({.sequenceId = std::to_string(n++), .input = text, .result = text});
        history.flush();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(2 * text.size()));
}

// Fixed counts: with the writes paused out of the timing, the library would otherwise run
// the hand-over until its measured part alone added up to half a second. 300 runs also pass
// both caps, so the steady state (an insert and the oldest run's delete) is measured.
BENCHMARK(BM_HistoryHandOver)
    ->Arg(lexorra::bench::typingSize)
    ->Arg(1 << 20)
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HistoryWrite)
    ->Arg(lexorra::bench::typingSize)
    ->Arg(1 << 20)
    ->Iterations(300)
    ->Unit(benchmark::kMillisecond);

} // namespace
