// Engine-level timings of the encoder, statistics, spell-out, date and QR code paths.
#include "BenchData.h"

#include "actions/chars/TextActionDateConverter.h"
#include "actions/chars/TextActionEncodeDecode.h"
#include "actions/chars/TextActionQRCode.h"
#include "actions/chars/TextActionSpellOutNumbers.h"
#include "actions/chars/TextActionStats.h"
#include "actions/chars/TextActionTextGenerator.h"
#include "text/Base64Strict.h"
#include "text/DateExpressionFinder.h"
#include "text/PercentCoding.h"

#include <benchmark/benchmark.h>

namespace {

using namespace lexorra;

const std::string& big() {
    static const std::string text = bench::proseText(bench::bigSize);
    return text;
}

const std::string& typing() {
    static const std::string text = bench::accentedText(bench::typingSize);
    return text;
}

void setBytes(benchmark::State& state, size_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

void Base64Encode10MB(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(text::base64EncodeStd(big()));
    setBytes(state, big().size());
}
BENCHMARK(Base64Encode10MB)->Unit(benchmark::kMillisecond);

void Base64Decode10MB(benchmark::State& state) {
    const std::string encoded = text::base64EncodeStd(big());
    TextActionEncodeDecode action;
    action.encodeORDecode = EncodeORDecode::decode;
    for (auto _ : state)
        benchmark::DoNotOptimize(action.transform(encoded));
    setBytes(state, encoded.size());
}
BENCHMARK(Base64Decode10MB)->Unit(benchmark::kMillisecond);

void Base64EncodeLines10MB(benchmark::State& state) {
    TextActionEncodeDecode action;
    action.separatedLines = true;
    for (auto _ : state)
        benchmark::DoNotOptimize(action.transform(big()));
    setBytes(state, big().size());
}
BENCHMARK(Base64EncodeLines10MB)->Unit(benchmark::kMillisecond);

void PercentEncode10MB(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(text::percentEncodeQuery(big()));
    setBytes(state, big().size());
}
BENCHMARK(PercentEncode10MB)->Unit(benchmark::kMillisecond);

void PercentDecode10MB(benchmark::State& state) {
    const std::string encoded = text::percentEncodeQuery(big());
    for (auto _ : state)
        benchmark::DoNotOptimize(text::percentDecodeStrict(encoded));
    setBytes(state, encoded.size());
}
BENCHMARK(PercentDecode10MB)->Unit(benchmark::kMillisecond);

void StatisticsTyping(benchmark::State& state) {
    TextActionStats action;
    for (auto _ : state)
        benchmark::DoNotOptimize(action.transform(typing()));
    setBytes(state, typing().size());
}
BENCHMARK(StatisticsTyping)->Unit(benchmark::kMillisecond);

void SpellOutTyping(benchmark::State& state) {
    const icu::Locale english("en_US");
    for (auto _ : state)
        benchmark::DoNotOptimize(spellOutNumbers(typing(), english));
    setBytes(state, typing().size());
}
BENCHMARK(SpellOutTyping)->Unit(benchmark::kMillisecond);

void DateFinder10MB(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(text::findDateExpressions(big()));
    setBytes(state, big().size());
}
BENCHMARK(DateFinder10MB)->Unit(benchmark::kMillisecond);

void DateToUnixTyping(benchmark::State& state) {
    std::string text;
    for (int i = 0; text.size() < bench::typingSize; ++i)
        text += "Order " + std::to_string(i) + " shipped on " + std::to_string(i % 28 + 1) + "/0" +
                std::to_string(i % 9 + 1) + "/2023 at noon.\n";
    TextActionDateConverter action;
    action.dateConverterType = DateConverterType::humanReadableToUnix;
    std::unique_ptr<icu::TimeZone> utc(icu::TimeZone::createTimeZone("UTC"));
    for (auto _ : state)
        benchmark::DoNotOptimize(action.convert(text, icu::Locale("en_US"), *utc));
    setBytes(state, text.size());
}
BENCHMARK(DateToUnixTyping)->Unit(benchmark::kMillisecond);

void QRCodeLargestPayload(benchmark::State& state) {
    const std::string text = std::string(TextActionQRCode::marker) + big().substr(0, 2000);
    for (auto _ : state)
        benchmark::DoNotOptimize(qrCodePng(text));
}
BENCHMARK(QRCodeLargestPayload)->Unit(benchmark::kMillisecond);

void GenerateThousandParagraphs(benchmark::State& state) {
    TextActionTextGenerator action;
    action.numberOfElements = 1000;
    action.positionType = TextGeneratorPositionType::replace;
    for (auto _ : state)
        benchmark::DoNotOptimize(action.transform(""));
}
BENCHMARK(GenerateThousandParagraphs)->Unit(benchmark::kMillisecond);

} // namespace
