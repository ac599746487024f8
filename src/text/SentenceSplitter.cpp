#include "text/SentenceSplitter.h"

#include "text/Utf.h"

#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <array>
#include <memory>

namespace lexorra::text {
namespace {

// Length of s without its trailing white space (any character with the White_Space property).
size_t trimmedLength(std::string_view s) {
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    auto end = static_cast<int32_t>(s.size());
    while (end > 0) {
        int32_t at = end;
        UChar32 c;
        U8_PREV(p, 0, at, c);
        if (c < 0 || !u_isUWhiteSpace(c)) break;
        end = at;
    }
    return static_cast<size_t>(end);
}

// The sentence-break classes of ASCII characters (there are no letters other than upper and
// lower case, no format or extending characters, and LF stands for every paragraph separator).
enum class Sb { other, lf, cr, space, lower, upper, numeric, aTerm, sTerm, close, sContinue };

constexpr Sb sbClassOf(char c) {
    if (c >= 'a' && c <= 'z') return Sb::lower;
    if (c >= 'A' && c <= 'Z') return Sb::upper;
    if (c >= '0' && c <= '9') return Sb::numeric;
    switch (c) {
    case '\r': return Sb::cr;
    case '\n': return Sb::lf;
    case ' ':
    case '\t':
    case '\v':
    case '\f': return Sb::space;
    case '.': return Sb::aTerm;
    case '!':
    case '?': return Sb::sTerm;
    case '"':
    case '\'':
    case '(':
    case ')':
    case '[':
    case ']':
    case '{':
    case '}': return Sb::close;
    case ',':
    case '-':
    case ':': return Sb::sContinue;
    default: return Sb::other;
    }
}

Sb sbClass(char c) {
    static constexpr auto table = [] {
        std::array<Sb, 128> t{};
        for (int i = 0; i < 128; ++i) t[static_cast<size_t>(i)] = sbClassOf(static_cast<char>(i));
        return t;
    }();
    return table[static_cast<unsigned char>(c) & 0x7F];
}

// Where the root rules break ASCII text, without a break iterator (0 and the end left out): after
// a paragraph separator (CR LF as one), and after a terminator with its closing punctuation and
// spaces, unless a digit follows a full stop at once, an upper-case letter follows one between
// letters ("U.S"), a lower-case letter follows after other characters, or a comma, hyphen, colon
// or another terminator follows. The test holds it to ICU over generated text.
std::vector<size_t> asciiSentenceBreaks(std::string_view s) {
    std::vector<size_t> breaks;
    const size_t n = s.size();
    // A break after the paragraph separator at `at` (CR LF as one); where the scan goes on.
    auto breakAfterParagraph = [&](size_t at) {
        const size_t end = s[at] == '\r' && at + 1 < n && s[at + 1] == '\n' ? at + 2 : at + 1;
        if (end < n) breaks.push_back(end);
        return end - 1;
    };
    // Only paragraph separators and terminators can end a sentence: the bytes between are skipped
    // by a table of those alone.
    static constexpr auto mayEnd = [] {
        std::array<bool, 256> t{};
        for (int b = 0; b < 128; ++b) {
            const Sb c = sbClassOf(static_cast<char>(b));
            t[static_cast<size_t>(b)] = c == Sb::cr || c == Sb::lf || c == Sb::aTerm || c == Sb::sTerm;
        }
        return t;
    }();
    for (size_t i = 0; i < n; ++i) {
        while (i < n && !mayEnd[static_cast<unsigned char>(s[i])]) ++i;
        if (i == n) break;
        const Sb c = sbClass(s[i]);
        if (c == Sb::cr || c == Sb::lf) {
            i = breakAfterParagraph(i);
            continue;
        }
        size_t next = i + 1;
        while (next < n && sbClass(s[next]) == Sb::close) ++next;
        while (next < n && sbClass(s[next]) == Sb::space) ++next;
        if (next == n) break;
        const Sb following = sbClass(s[next]);
        if (following == Sb::cr || following == Sb::lf) {
            i = breakAfterParagraph(next);
            continue;
        }
        if (c == Sb::aTerm) {
            if (next == i + 1 && following == Sb::numeric) continue;
            if (next == i + 1 && following == Sb::upper && i > 0 &&
                (sbClass(s[i - 1]) == Sb::upper || sbClass(s[i - 1]) == Sb::lower))
                continue;
            size_t ahead = next;
            while (ahead < n) {
                const Sb d = sbClass(s[ahead]);
                if (d == Sb::upper || d == Sb::lower || d == Sb::lf || d == Sb::cr || d == Sb::aTerm || d == Sb::sTerm)
                    break;
                ++ahead;
            }
            if (ahead < n && sbClass(s[ahead]) == Sb::lower) continue;
        }
        if (following == Sb::sContinue || following == Sb::aTerm || following == Sb::sTerm) continue;
        breaks.push_back(next);
        i = next - 1;
    }
    return breaks;
}

} // namespace

std::vector<std::string_view> sentences(std::string_view s) {
    std::vector<std::string_view> out;
    if (s.empty()) return out;
    if (isAscii(s)) {
        size_t start = 0;
        auto piece = [&](size_t end) {
            const auto text = s.substr(start, end - start);
            if (const size_t n = trimmedLength(text)) out.push_back(text.substr(0, n));
            start = end;
        };
        for (size_t end : asciiSentenceBreaks(s)) piece(end);
        piece(s.size());
        return out;
    }
    UErrorCode status = U_ZERO_ERROR;
    thread_local std::unique_ptr<icu::BreakIterator> iterator(
        icu::BreakIterator::createSentenceInstance(icu::Locale::getRoot(), status));
    UText* ut = utext_openUTF8(nullptr, s.data(), static_cast<int64_t>(s.size()), &status);
    if (U_FAILURE(status) || !iterator) {
        utext_close(ut);
        if (const size_t n = trimmedLength(s)) out.push_back(s.substr(0, n));
        return out;
    }
    iterator->setText(ut, status);
    int32_t start = iterator->first();
    for (int32_t end = iterator->next(); end != icu::BreakIterator::DONE; start = end, end = iterator->next()) {
        const auto piece = s.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
        if (const size_t n = trimmedLength(piece)) out.push_back(piece.substr(0, n));
    }
    // The iterator keeps a pointer to the UText: detach it before closing.
    static const icu::UnicodeString nothing;
    iterator->setText(nothing);
    utext_close(ut);
    return out;
}

} // namespace lexorra::text
