// Replays stored inputs through the fuzz programs' entry points without libFuzzer, so the normal
// gcc build with its sanitizers re-checks every seed and every reproducer on each test run.
//
//   fuzz_replay yaml [--max-seconds=N] fuzz/corpus/yaml tests/data/fuzz-regressions/yaml
//
// All entry points live in this one program (each renamed at compile time to lexorraFuzz_<name>),
// which costs one link instead of one per fuzzer. Each path argument is a file or a folder (read
// recursively, in name order). A folder that does not exist is skipped, but a run that finds no
// input at all fails: a mistyped path must not pass. A crash, a sanitizer report or a leak fails the
// run and names the input that caused it (in builds with AddressSanitizer; without it only crashes
// and slow inputs are caught).
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define LEXORRA_REPLAY_ASAN 1
#include <sanitizer/common_interface_defs.h>
#include <sanitizer/lsan_interface.h>
// In the runtime of gcc 12 but missing from its headers.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, std::size_t),
                                                         void (*onFree)(const volatile void*));
#endif

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#define FUZZ_TARGET(name)                                                                              \
    extern "C" int lexorraFuzz_##name(const std::uint8_t* data, std::size_t size);                    \
    extern "C" __attribute__((weak)) int lexorraFuzzInit_##name(int* argc, char*** argv);
#include "FuzzTargets.def"
#undef FUZZ_TARGET

namespace {

struct Target {
    std::string_view name;
    int (*testOneInput)(const std::uint8_t*, std::size_t);
    int (*initialize)(int*, char***);
};

const Target targets[] = {
#define FUZZ_TARGET(name) {#name, lexorraFuzz_##name, lexorraFuzzInit_##name},
#include "FuzzTargets.def"
#undef FUZZ_TARGET
};

namespace fs = std::filesystem;

// The input being run, for the crash handlers; they may only call async-signal-safe functions.
char g_current[4096] = "";

#ifdef LEXORRA_REPLAY_ASAN
// A full leak scan costs milliseconds; like libFuzzer, scan only after an input whose allocations
// and frees do not balance.
long g_mallocs = 0;
long g_frees = 0;
void countMalloc(const volatile void*, std::size_t) { ++g_mallocs; }
void countFree(const volatile void*) { ++g_frees; }
#endif

void nameCurrentInput() {
    if (g_current[0] == '\0') return;
    constexpr std::string_view prefix = "\nfuzz replay: failing input: ";
    (void)!write(STDERR_FILENO, prefix.data(), prefix.size());
    (void)!write(STDERR_FILENO, g_current, std::strlen(g_current));
    (void)!write(STDERR_FILENO, "\n", 1);
}

extern "C" void onFatalSignal(int sig) {
    nameCurrentInput();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void collect(const fs::path& path, std::vector<fs::path>& files) {
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) {
        files.push_back(path);
        return;
    }
    if (!fs::is_directory(path, ec)) {
        std::cerr << "fuzz replay: skipping " << path.string() << " (not there)\n";
        return;
    }
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(path))
        if (entry.is_regular_file()) found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
}

} // namespace

int main(int argc, char** argv) {
    const Target* target = nullptr;
    for (const Target& t : targets)
        if (argc > 1 && t.name == argv[1]) target = &t;
    if (!target) {
        std::cerr << "usage: fuzz_replay TARGET [--max-seconds=N] FILE_OR_FOLDER...\ntargets:";
        for (const Target& t : targets) std::cerr << ' ' << t.name;
        std::cerr << '\n';
        return 2;
    }

    double maxSeconds = 0;
    std::vector<fs::path> files;
    for (int i = 2; i < argc; ++i) {
        std::string_view arg(argv[i]);
        if (arg.starts_with("--max-seconds=")) maxSeconds = std::atof(argv[i] + 14);
        else collect(fs::path(arg), files);
    }
    if (files.empty()) {
        std::cerr << "fuzz replay: no input files found\n";
        return 2;
    }

#ifdef LEXORRA_REPLAY_ASAN
    __sanitizer_set_death_callback(nameCurrentInput);
    __sanitizer_install_malloc_and_free_hooks(countMalloc, countFree);
#endif
    for (int sig : {SIGILL, SIGABRT, SIGFPE, SIGBUS, SIGSEGV}) std::signal(sig, onFatalSignal);
    if (target->initialize) target->initialize(&argc, &argv);

    int failed = 0;
    double slowest = 0;
    std::string slowestName;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // An exact-size heap copy, as libFuzzer makes, so reading one byte too far is reported.
        auto copy = std::make_unique<std::uint8_t[]>(bytes.size());
        std::memcpy(copy.get(), bytes.data(), bytes.size());

        const std::string name = file.string();
        std::strncpy(g_current, name.c_str(), sizeof g_current - 1);
#ifdef LEXORRA_REPLAY_ASAN
        const long mallocsBefore = g_mallocs, freesBefore = g_frees;
#endif
        const auto start = std::chrono::steady_clock::now();
        target->testOneInput(copy.get(), bytes.size());
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
#ifdef LEXORRA_REPLAY_ASAN
        // Checked per input, not only at exit, so the report can say which input leaked.
        if (g_mallocs - mallocsBefore != g_frees - freesBefore && __lsan_do_recoverable_leak_check() != 0) {
            std::cerr << "fuzz replay: " << name << " leaked memory\n";
            ++failed;
        }
#endif
        g_current[0] = '\0';

        if (seconds > slowest) {
            slowest = seconds;
            slowestName = name;
        }
        if (maxSeconds > 0 && seconds > maxSeconds) {
            std::cerr << "fuzz replay: " << name << " took " << seconds << " s (limit " << maxSeconds << " s)\n";
            ++failed;
        }
    }
    std::cout << "fuzz replay: " << files.size() << " inputs, slowest " << slowest << " s (" << slowestName << ")\n";
    return failed == 0 ? 0 : 1;
}
