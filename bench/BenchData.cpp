#include "BenchData.h"

#include <array>
#include <random>
#include <string_view>

namespace lexorra::bench {
namespace {

constexpr std::array<std::string_view, 40> words = {
    "the",    "quick",  "brown",   "fox",     "jumps",  "over",     "lazy",    "dog",    "and",    "runs",
    "across", "green",  "fields",  "while",   "people", "watch",    "from",    "their",  "houses", "in",
    "summer", "report", "shows",   "growth",  "of",     "twenty",   "percent", "market", "data",   "value",
    "Paris",  "London", "January", "Monday",  "report", "analysis", "system",  "server", "error",  "request"};
constexpr std::array<std::string_view, 12> accented = {"café", "naïve", "Zürich", "façade", "résumé", "Ångström",
                                                        "São",  "piñata", "Ελλάδα", "Москва", "straße", "coöperate"};

std::string makeText(size_t bytes, unsigned seed, bool withAccents) {
    std::mt19937 rng(seed);
    std::string out;
    out.reserve(bytes + 128);
    size_t lineStart = 0;
    size_t lineTarget = 40 + rng() % 60;
    while (out.size() < bytes) {
        const unsigned pick = rng() % 100;
        if (withAccents && pick < 15)
            out += accented[rng() % accented.size()];
        else if (pick < 22)
            out += std::to_string(rng() % 100000);
        else
            out += words[rng() % words.size()];
        const unsigned punct = rng() % 20;
        if (punct == 0) out += '.';
        else if (punct == 1) out += ',';
        if (out.size() - lineStart >= lineTarget) {
            out += '\n';
            lineStart = out.size();
            lineTarget = 40 + rng() % 60;
        } else {
            out += ' ';
        }
    }
    return out;
}

} // namespace

std::string proseText(size_t bytes, unsigned seed) { return makeText(bytes, seed, false); }
std::string accentedText(size_t bytes, unsigned seed) { return makeText(bytes, seed, true); }

} // namespace lexorra::bench
