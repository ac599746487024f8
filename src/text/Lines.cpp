#include "text/Lines.h"

#include "text/Utf.h"

#include <algorithm>
#include <future>
#include <thread>

namespace lexorra::text {

std::vector<std::string_view> splitLines(std::string_view s) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (true) {
        size_t nl = s.find('\n', start);
        if (nl == std::string_view::npos) {
            lines.push_back(s.substr(start));
            return lines;
        }
        lines.push_back(s.substr(start, nl - start));
        start = nl + 1;
    }
}

template <class Pieces> static std::string joinImpl(const Pieces& pieces, std::string_view separator) {
    size_t total = 0;
    for (const auto& p : pieces) total += p.size() + separator.size();
    std::string out;
    out.reserve(total);
    bool first = true;
    for (const auto& p : pieces) {
        if (!first) out += separator;
        first = false;
        out += p;
    }
    return out;
}

std::string join(const std::vector<std::string_view>& pieces, std::string_view separator) {
    return joinImpl(pieces, separator);
}

std::string join(const std::vector<std::string>& pieces, std::string_view separator) {
    return joinImpl(pieces, separator);
}

std::string mapLines(std::string_view input, const std::function<std::string(std::string_view)>& convert) {
    const auto lines = splitLines(input);
    // Below a few hundred kilobytes per thread, starting one costs more than it saves.
    constexpr size_t bytesPerThread = 256 * 1024;
    const size_t cores = std::max(1U, std::thread::hardware_concurrency());
    const size_t threads = std::min({cores, input.size() / bytesPerThread + 1, lines.size()});
    const size_t share = (lines.size() + threads - 1) / threads;
    // Each thread joins its lines as it goes: one block per thread rather than a string kept per
    // line until the end, whose fresh pages cost more than the copy.
    std::vector<std::string> blocks(threads);
    auto run = [&](size_t block) {
        const size_t from = std::min(block * share, lines.size());
        const size_t to = std::min(from + share, lines.size());
        if (from == to) return;
        std::string& out = blocks[block];
        out.reserve(static_cast<size_t>(lines[to - 1].end() - lines[from].begin()) + (to - from));
        for (size_t i = from; i < to; ++i) {
            if (i > from) out += '\n';
            out += convert(lines[i]);
        }
    };
    std::vector<std::future<void>> helpers;
    for (size_t t = 1; t < threads; ++t) helpers.push_back(std::async(std::launch::async, run, t));
    run(0);
    for (auto& helper : helpers) helper.get();
    std::string out = std::move(blocks[0]);
    size_t total = out.size();
    for (size_t t = 1; t < threads; ++t) total += blocks[t].size() + 1;
    out.reserve(total);
    for (size_t t = 1; t < threads; ++t) {
        if (t * share >= lines.size()) break;
        out += '\n';
        out += blocks[t];
    }
    return out;
}

bool isNewline(char32_t c) {
    return c == 0x0A || c == 0x0B || c == 0x0C || c == 0x0D || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isWhitespace(char32_t c) {
    return c == 0x20 || c == 0x09 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

bool isWhitespaceOrNewline(char32_t c) { return isWhitespace(c) || isNewline(c); }

template <class Pred> static std::vector<std::string_view> splitAt(std::string_view s, Pred pred, bool dropEmpty) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    size_t i = 0;
    while (i < s.size()) {
        size_t at = i;
        char32_t c = nextCodePoint(s, i);
        if (pred(c)) {
            if (!dropEmpty || at > start) pieces.push_back(s.substr(start, at - start));
            start = i;
        }
    }
    if (!dropEmpty || s.size() > start) pieces.push_back(s.substr(start));
    return pieces;
}

std::vector<std::string_view> splitAtNewlines(std::string_view s) { return splitAt(s, isNewline, false); }

std::vector<std::string_view> splitWords(std::string_view s) { return splitAt(s, isWhitespaceOrNewline, true); }

std::string_view trimCodePoints(std::string_view s, bool (*trimmed)(char32_t)) {
    size_t begin = 0;
    while (begin < s.size()) {
        size_t i = begin;
        if (!trimmed(nextCodePoint(s, i))) break;
        begin = i;
    }
    size_t end = s.size();
    while (end > begin) {
        // Step back to the start of the previous code point.
        size_t start = end - 1;
        while (start > begin && (static_cast<unsigned char>(s[start]) & 0xC0) == 0x80) --start;
        size_t i = start;
        if (!trimmed(nextCodePoint(s, i))) break;
        end = start;
    }
    return s.substr(begin, end - begin);
}

std::string_view trimWhitespaceAndNewlines(std::string_view s) { return trimCodePoints(s, isWhitespaceOrNewline); }

} // namespace lexorra::text
