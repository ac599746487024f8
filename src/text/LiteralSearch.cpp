#include "text/LiteralSearch.h"

#include "text/LargeBuffer.h"
#include "text/Utf.h"

#include <unicode/normalizer2.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace lexorra::text {
namespace {

const icu::Normalizer2& nfd() {
    UErrorCode status = U_ZERO_ERROR;
    return *icu::Normalizer2::getNFDInstance(status);
}

const icu::Normalizer2& nfc() {
    UErrorCode status = U_ZERO_ERROR;
    return *icu::Normalizer2::getNFCInstance(status);
}

// The comparison key of a piece of text: NFD, and for case-insensitive search
// NFD(fold(NFD(s))) so that folding sees decomposed letters and its output is canonical.
std::string comparisonKey(std::string_view s, bool caseInsensitive) {
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString u = nfd().normalize(toUnicode(s), status);
    if (caseInsensitive) {
        u.foldCase(U_FOLD_CASE_DEFAULT);
        u = nfd().normalize(u, status);
    }
    return toUtf8(u);
}

char asciiFold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Case-insensitive matches of an ASCII needle, compared byte by byte: a letter is compared with
// its 0x20 bit set on both sides, any other byte exactly. In text that is not all ASCII a match
// must also end where a canonical segment does (no mark or conjoining vowel follows it); it
// always starts on one, as every ASCII character does.
std::vector<LiteralMatch> findAsciiAnyCase(std::string_view input, std::string_view find, bool checkEnd) {
    std::vector<LiteralMatch> matches;
    std::string key(find);
    std::string mask(find.size(), '\0');
    for (size_t k = 0; k < key.size(); ++k) {
        key[k] = asciiFold(key[k]);
        if (key[k] >= 'a' && key[k] <= 'z') mask[k] = 0x20;
    }
    const size_t n = key.size();
    const char first = key[0];
    const char firstMask = mask[0];
    const auto& composer = nfc();
    for (size_t i = 0; i + n <= input.size();) {
        if ((input[i] | firstMask) != first) {
            ++i;
            continue;
        }
        size_t k = 1;
        while (k < n && (input[i + k] | mask[k]) == key[k])
            ++k;
        if (k < n) {
            ++i;
            continue;
        }
        const size_t end = i + n;
        if (checkEnd && end < input.size() && static_cast<unsigned char>(input[end]) >= 0x80) {
            size_t next = end;
            if (!composer.hasBoundaryBefore(static_cast<UChar32>(nextCodePoint(input, next)))) {
                ++i;
                continue;
            }
        }
        matches.push_back({i, end});
        i = end;
    }
    return matches;
}

// Matches in an ASCII haystack for an ASCII needle: no normalisation can apply.
std::vector<LiteralMatch> findAscii(std::string_view input, std::string_view find, bool caseInsensitive) {
    if (caseInsensitive) return findAsciiAnyCase(input, find, false);
    std::vector<LiteralMatch> matches;
    const std::boyer_moore_horspool_searcher searcher(find.begin(), find.end());
    auto it = input.begin();
    while (true) {
        auto [b, e] = searcher(it, input.end());
        if (b == input.end()) break;
        matches.push_back({static_cast<size_t>(b - input.begin()), static_cast<size_t>(e - input.begin())});
        it = e;
    }
    return matches;
}

// The characters other than ASCII whose comparison key (canonical decomposition, full case
// folding) is all ASCII, with that key. Only they can take part in a case-insensitive match of an
// ASCII needle without their bytes matching, and only where their key occurs in the needle's.
struct AsciiKeyed {
    std::string_view bytes;
    std::string_view key;
};
constexpr AsciiKeyed asciiKeyed[] = {
    {"\u00DF", "ss"},  {"\u017F", "s"},  {"\u037E", ";"},  {"\u1E9E", "ss"}, {"\u1FEF", "`"},
    {"\u212A", "k"},   {"\uFB00", "ff"}, {"\uFB01", "fi"}, {"\uFB02", "fl"}, {"\uFB03", "ffi"},
    {"\uFB04", "ffl"}, {"\uFB05", "st"}, {"\uFB06", "st"},
};

// Whether the text holds one of those characters whose key occurs in the folded needle. They are
// looked for as bytes: the decoder accepts no other encoding of them.
bool holdsAsciiKeyedPartOf(std::string_view text, std::string_view find) {
    std::string key(find);
    for (auto& c : key)
        c = asciiFold(c);
    for (const auto& k : asciiKeyed)
        if (key.find(k.key) != std::string::npos && text.find(k.bytes) != std::string_view::npos) return true;
    return false;
}

} // namespace

std::vector<LiteralMatch> detail::findCanonical(std::string_view input, std::string_view find, bool caseInsensitive) {
    std::vector<LiteralMatch> matches;
    const std::string needle = comparisonKey(find, caseInsensitive);
    if (needle.empty()) return matches;

    std::string key;
    key.reserve(input.size());
    std::vector<uint32_t> segKey;  // start of each segment in key
    std::vector<uint32_t> segOrig; // start of each segment in input
    const auto& composer = nfc();
    size_t i = 0;
    while (i < input.size()) {
        const size_t start = i;
        nextCodePoint(input, i);
        while (i < input.size()) {
            size_t j = i;
            char32_t c = nextCodePoint(input, j);
            if (composer.hasBoundaryBefore(static_cast<UChar32>(c))) break;
            i = j;
        }
        segKey.push_back(static_cast<uint32_t>(key.size()));
        segOrig.push_back(static_cast<uint32_t>(start));
        std::string_view seg = input.substr(start, i - start);
        if (seg.size() == 1 && static_cast<unsigned char>(seg[0]) < 0x80)
            key += caseInsensitive ? asciiFold(seg[0]) : seg[0];
        else
            key += comparisonKey(seg, caseInsensitive);
    }
    segKey.push_back(static_cast<uint32_t>(key.size()));
    segOrig.push_back(static_cast<uint32_t>(input.size()));

    const std::boyer_moore_horspool_searcher searcher(needle.begin(), needle.end());
    size_t from = 0;
    size_t segHint = 0;
    while (from <= key.size()) {
        auto [b, e] = searcher(key.begin() + static_cast<std::ptrdiff_t>(from), key.end());
        if (b == key.end()) break;
        const auto pos = static_cast<uint32_t>(b - key.begin());
        const auto endPos = static_cast<uint32_t>(e - key.begin());
        auto first = std::lower_bound(segKey.begin() + static_cast<std::ptrdiff_t>(segHint), segKey.end(), pos);
        if (first == segKey.end() || *first != pos) {
            from = pos + 1;
            continue;
        }
        auto last = std::lower_bound(first, segKey.end(), endPos);
        if (last == segKey.end() || *last != endPos) {
            from = pos + 1;
            continue;
        }
        matches.push_back({segOrig[static_cast<size_t>(first - segKey.begin())],
                           segOrig[static_cast<size_t>(last - segKey.begin())]});
        segHint = static_cast<size_t>(last - segKey.begin());
        from = endPos;
    }
    return matches;
}

// Case-sensitive search for an ASCII needle in text that is not all ASCII. A byte match
// is a canonical match unless combining marks follow it (they belong to its last letter).
// Only three code points decompose to ASCII (U+037E to ";", U+1FEF to "`", U+212A to
// "K"); a text holding one of them takes the general path.
namespace {

std::optional<std::vector<LiteralMatch>> findAsciiNeedle(std::string_view input, std::string_view find) {
    for (std::string_view singleton : {"\xCD\xBE", "\xE1\xBF\xAF", "\xE2\x84\xAA"})
        if (input.find(singleton) != std::string_view::npos) return std::nullopt;
    const auto& norm = nfd();
    std::vector<LiteralMatch> matches;
    const std::boyer_moore_horspool_searcher searcher(find.begin(), find.end());
    auto it = input.begin();
    while (true) {
        auto [b, e] = searcher(it, input.end());
        if (b == input.end()) break;
        const auto end = static_cast<size_t>(e - input.begin());
        size_t next = end;
        if (end < input.size() && !norm.hasBoundaryBefore(static_cast<UChar32>(nextCodePoint(input, next)))) {
            it = b + 1;
            continue;
        }
        matches.push_back({static_cast<size_t>(b - input.begin()), end});
        it = e;
    }
    return matches;
}

} // namespace

std::vector<LiteralMatch> findLiteral(std::string_view input, std::string_view find, bool caseInsensitive) {
    if (find.empty() || input.empty()) return {};
    if (isAscii(input) && isAscii(find)) return findAscii(input, find, caseInsensitive);
    if (!caseInsensitive && isAscii(find))
        if (auto matches = findAsciiNeedle(input, find)) return *std::move(matches);
    if (caseInsensitive && isAscii(find) && !holdsAsciiKeyedPartOf(input, find))
        return findAsciiAnyCase(input, find, true);
    return detail::findCanonical(input, find, caseInsensitive);
}

std::string replaceExact(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t last = 0;
    for (size_t at = text.find(from); at != std::string_view::npos; at = text.find(from, last)) {
        out.append(text, last, at - last);
        out += to;
        last = at + from.size();
    }
    out.append(text, last, std::string_view::npos);
    return out;
}

std::string replaceLiteral(std::string_view input, std::string_view find, std::string_view replacement,
                           bool caseInsensitive) {
    const auto matches = findLiteral(input, find, caseInsensitive);
    if (matches.empty()) return std::string(input);
    std::string out;
    reserveLarge(out, input.size() + matches.size() * replacement.size());
    size_t last = 0;
    for (const auto& m : matches) {
        out.append(input, last, m.begin - last);
        out += replacement;
        last = m.end;
    }
    out.append(input, last, std::string_view::npos);
    return out;
}

} // namespace lexorra::text
