#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lexorra::testdata {

// Damaged versions of a valid text: every prefix length from a spread of cut points, then
// single-byte deletions, duplications and substitutions at pseudo-random places (fixed seed,
// so a failure reproduces). Robustness tests feed these to an action and expect a result.
inline std::vector<std::string> malformedVariants(const std::string& valid, size_t count) {
    std::vector<std::string> out;
    if (valid.empty()) return out;
    const size_t cuts = count / 2;
    for (size_t i = 0; i < cuts; ++i) out.push_back(valid.substr(0, (valid.size() * i) / cuts));
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    static const char replacements[] = "{}[]<>\"':,-&#!?/\\\n \t\x01\xc3\xff";
    while (out.size() < count) {
        std::string damaged = valid;
        const size_t edits = 1 + next() % 3;
        for (size_t e = 0; e < edits && !damaged.empty(); ++e) {
            const size_t at = next() % damaged.size();
            switch (next() % 3) {
            case 0: damaged.erase(at, 1); break;
            case 1: damaged.insert(at, 1, damaged[at]); break;
            default: damaged[at] = replacements[next() % (sizeof replacements - 1)]; break;
            }
        }
        out.push_back(std::move(damaged));
    }
    return out;
}

} // namespace lexorra::testdata
