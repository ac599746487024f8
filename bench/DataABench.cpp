// Throughput of the JSON, YAML and XML actions on generated records of realistic shape.
#include "BenchData.h"

#include "actions/data/TextActionJSON.h"
#include "actions/data/TextActionXML.h"
#include "actions/data/TextActionXMLtoJSON.h"
#include "actions/data/TextActionYAMLtoJSON.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace lexorra;

std::vector<std::string> sampleLines(size_t bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bench::proseText(bytes));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Records of an id, a text, a list of words and a few scalars, written compactly.
std::string jsonRecords(size_t bytes) {
    std::string out = "[";
    const auto lines = sampleLines(bytes / 2);
    for (size_t i = 0; out.size() < bytes; ++i) {
        const std::string& line = lines[i % lines.size()];
        if (i) out += ',';
        out += "{\"id\":" + std::to_string(i) + ",\"text\":\"" + line + "\",\"score\":" + std::to_string(i % 100) +
               ".25,\"ok\":" + (i % 2 ? "true" : "false") + ",\"url\":\"https://example.org/" + std::to_string(i) +
               "\",\"tags\":[\"a\",\"b\",null]}";
    }
    return out + "]";
}

std::string xmlRecords(size_t bytes) {
    std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<items>\n";
    const auto lines = sampleLines(bytes / 2);
    for (size_t i = 0; out.size() < bytes; ++i)
        out += "  <item id=\"" + std::to_string(i) + "\">\n    <text>" + lines[i % lines.size()] +
               "</text>\n    <score>" + std::to_string(i % 100) + "</score>\n    <tags><tag>a</tag><tag>b</tag></tags>\n"
               "  </item>\n";
    return out + "</items>\n";
}

std::string yamlRecords(size_t bytes) {
    std::string out;
    const auto lines = sampleLines(bytes / 2);
    for (size_t i = 0; out.size() < bytes; ++i)
        out += "- id: " + std::to_string(i) + "\n  text: '" + lines[i % lines.size()] + "'\n  score: " +
               std::to_string(i % 100) + ".25\n  ok: " + (i % 2 ? "yes" : "no") + "\n  tags: [a, b, ~]\n";
    return out;
}

void runAction(benchmark::State& state, const TextAction& action, const std::string& input) {
    for (auto _ : state) benchmark::DoNotOptimize(action.transform(input));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
}

void BM_BeautifyJson(benchmark::State& state) {
    static const std::string input = jsonRecords(bench::bigSize);
    runAction(state, TextActionJSON(), input);
}

void BM_YamlToJson(benchmark::State& state) {
    static const std::string input = yamlRecords(bench::bigSize / 10);
    TextActionYAMLtoJSON action;
    action.conversion = YAMLType::toJson;
    runAction(state, action, input);
}

void BM_JsonToYaml(benchmark::State& state) {
    static const std::string input = jsonRecords(bench::bigSize / 10);
    TextActionYAMLtoJSON action;
    action.conversion = YAMLType::toYAML;
    runAction(state, action, input);
}

void BM_XmlToJson(benchmark::State& state) {
    static const std::string input = xmlRecords(bench::bigSize);
    runAction(state, TextActionXMLtoJSON(), input);
}

void BM_BeautifyXml(benchmark::State& state) {
    static const std::string input = xmlRecords(bench::bigSize);
    runAction(state, TextActionXML(), input);
}

void BM_BeautifyJsonWhileTyping(benchmark::State& state) {
    static const std::string input = jsonRecords(bench::typingSize);
    runAction(state, TextActionJSON(), input);
}

} // namespace

BENCHMARK(BM_BeautifyJson)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BeautifyJsonWhileTyping)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_YamlToJson)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JsonToYaml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XmlToJson)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BeautifyXml)->Unit(benchmark::kMillisecond);
