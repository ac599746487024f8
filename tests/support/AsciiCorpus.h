#pragma once

#include <random>
#include <string>
#include <vector>

namespace lexorra::testing {

// Texts to hold an ASCII fast path to the library it stands in for: every pair of ASCII
// characters, every text of up to four of the given classes' characters, and 3,000 random
// texts of up to `randomLength` characters, one in `anyOneIn` of them any ASCII character.
inline std::vector<std::string> asciiCorpus(const std::string& classes, unsigned randomLength, unsigned anyOneIn) {
    std::vector<std::string> texts;
    for (int a = 0; a < 128; ++a)
        for (int b = 0; b < 128; ++b) texts.push_back({static_cast<char>(a), static_cast<char>(b)});
    texts.push_back("");
    for (size_t from = texts.size() - 1, length = 1; length <= 4; ++length) {
        const size_t to = texts.size();
        for (size_t t = from; t < to; ++t)
            for (char c : classes) texts.push_back(texts[t] + c);
        from = to;
    }
    std::mt19937 rng(5);
    for (int n = 0; n < 3000; ++n) {
        std::string text;
        for (unsigned k = rng() % randomLength; k > 0; --k)
            text += static_cast<char>(rng() % anyOneIn ? classes[rng() % classes.size()] : rng() % 128);
        texts.push_back(text);
    }
    return texts;
}

} // namespace lexorra::testing
