#include "BenchData.h"

#include "core/ActionFactory.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using lexorra::TextActionType;
using lexorra::Value;
using Options = std::vector<std::pair<const char*, Value>>;

std::vector<std::string> proseLines(size_t bytes) {
    std::istringstream in(lexorra::bench::proseText(bytes));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(std::move(line));
    return lines;
}

// A table of the prose: a row number, its first two words, its word count and the line
// quoted (the same shape the comparison script builds with awk).
std::string csvText(size_t bytes) {
    std::string out = "id,first,second,count,text\n";
    size_t row = 0;
    for (const auto& line : proseLines(bytes)) {
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) {
            std::erase_if(word, [](char c) { return c == ',' || c == '.' || c == '"'; });
            w.push_back(word);
        }
        std::string quoted;
        for (char c : line) {
            if (c == '"') quoted += '"';
            quoted += c;
        }
        out += std::to_string(++row) + ',' + (w.size() > 0 ? w[0] : "") + ',' + (w.size() > 1 ? w[1] : "") + ',' +
               std::to_string(w.size()) + ",\"" + quoted + "\"\n";
    }
    return out;
}

// Prose with headings, list items, emphasis and paragraph breaks mixed in.
std::string markdownText(size_t bytes) {
    std::string out;
    size_t n = 0;
    for (const auto& line : proseLines(bytes)) {
        ++n;
        if (n % 10 == 0) out += "\n## " + line + "\n\n";
        else if (n % 7 == 0) out += "- *" + line + "*\n";
        else if (n % 5 == 0) out += line + "\n\n";
        else out += line + '\n';
    }
    return out;
}

void runAction(benchmark::State& state, TextActionType type, const Options& options, std::string (*make)(size_t)) {
    const std::string text = make(static_cast<size_t>(state.range(0)));
    auto action = lexorra::makeDefault(type);
    for (const auto& [key, value] : options)
        if (!action->setOption(key, value)) state.SkipWithError("option rejected");
    for (auto _ : state) benchmark::DoNotOptimize(action->transform(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

std::string jsonText(size_t bytes) {
    auto toJson = lexorra::makeDefault(TextActionType::JSONtoCSV);
    toJson->setOption("Conversion", Value(0));
    return toJson->transform(csvText(bytes));
}

#define DATA_B_BENCH(name, type, make, ...)                                                                   \
    void BM_##name(benchmark::State& s) { runAction(s, TextActionType::type, Options{__VA_ARGS__}, make); } \
    BENCHMARK(BM_##name)->Arg(lexorra::bench::typingSize)->Arg(lexorra::bench::bigSize)->Unit(benchmark::kMillisecond)

DATA_B_BENCH(CsvToJson, JSONtoCSV, csvText, {"Conversion", Value(0)});
DATA_B_BENCH(JsonToCsv, JSONtoCSV, jsonText, {"Conversion", Value(1)});
DATA_B_BENCH(CsvToMarkdownTable, csvToMarkdown, csvText);
DATA_B_BENCH(MarkdownToHtml, markdownToHtml, markdownText);

} // namespace
