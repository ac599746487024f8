#include "actions/chars/TextActionStats.h"

#include "text/CanonicalKeys.h"
#include "text/Case.h"
#include "text/Graphemes.h"
#include "text/Lines.h"
#include "text/Utf.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <unordered_map>

namespace lexorra {
namespace {

bool separatesWords(char32_t c) {
    return text::isWhitespaceOrNewline(c) || (U_GET_GC_MASK(static_cast<UChar32>(c)) & U_GC_P_MASK) != 0;
}

} // namespace

std::vector<std::string> statisticsWords(std::string_view text) {
    const std::string lowered = text::lower(text);
    std::vector<std::string> words;
    size_t start = 0;
    for (size_t i = 0; i < lowered.size();) {
        const size_t at = i;
        const char32_t c = text::nextCodePoint(lowered, i);
        if (!separatesWords(c)) continue;
        if (at > start) words.emplace_back(lowered, start, at - start);
        start = i;
    }
    if (lowered.size() > start) words.emplace_back(lowered, start);
    return words;
}

std::string TextActionStats::transform(std::string_view text) const {
    const std::vector<std::string> words = statisticsWords(text);

    // Distinct words keep the order they first appear in, so equal counts list stably; words
    // that differ only in how their accents are encoded are one word, listed as first seen.
    text::CanonicalKeys keys;
    std::unordered_map<std::string_view, size_t> slot;
    std::vector<std::pair<std::string_view, size_t>> counts;
    for (const auto& word : words) {
        auto [it, inserted] = slot.try_emplace(keys.key(word), counts.size());
        if (inserted) counts.emplace_back(word, 0);
        ++counts[it->second].second;
    }
    std::stable_sort(counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.second > b.second; });

    const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    std::string report;
    report += "Total Characters: " + std::to_string(text::graphemeCount(text)) + "\n";
    report += "Total Lines: " + std::to_string(lines) + "\n";
    report += "Total Words: " + std::to_string(words.size()) + "\n";
    report += "Unique Words: " + std::to_string(counts.size()) + "\n";
    report += "\n\nWord (Count)\n--------------------";
    for (const auto& [word, count] : counts) {
        report += '\n';
        report += word;
        report += " (" + std::to_string(count) + ")";
    }
    return report;
}

LEXORRA_ACTION_FACTORY(TextActionStats)

} // namespace lexorra
