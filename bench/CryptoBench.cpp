// Password encryption: whole-text encryption and decryption through the action (two key
// derivations, AES-256-CBC, HMAC-SHA256, Base64), and one key derivation alone.
#include "BenchData.h"

#include "actions/chars/TextActionEncryption.h"
#include "actions/chars/rncryptor/RNCryptor.h"

#include <benchmark/benchmark.h>

namespace {

using lexorra::EncryptionOrDecryption;
using lexorra::TextActionEncryption;

void encryptText(benchmark::State& state) {
    const std::string text = lexorra::bench::proseText(static_cast<size_t>(state.range(0)));
    TextActionEncryption action;
    action.password = "bench password";
    for (auto _ : state) benchmark::DoNotOptimize(action.transform(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void decryptText(benchmark::State& state) {
    const std::string text = lexorra::bench::accentedText(static_cast<size_t>(state.range(0)));
    TextActionEncryption action;
    action.password = "bench password";
    const std::string message = action.transform(text);
    action.encryptionOrDecryption = EncryptionOrDecryption::decryption;
    for (auto _ : state) benchmark::DoNotOptimize(action.transform(message));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void deriveKey(benchmark::State& state) {
    const lexorra::RNCryptor::Bytes salt{1, 2, 3, 4, 5, 6, 7, 8};
    for (auto _ : state) benchmark::DoNotOptimize(lexorra::RNCryptor::FormatV3::makeKey("bench password", salt));
}

BENCHMARK(encryptText)->Arg(lexorra::bench::typingSize)->Arg(lexorra::bench::bigSize)->Unit(benchmark::kMillisecond);
BENCHMARK(decryptText)->Arg(lexorra::bench::typingSize)->Arg(lexorra::bench::bigSize)->Unit(benchmark::kMillisecond);
BENCHMARK(deriveKey)->Unit(benchmark::kMillisecond);

} // namespace
