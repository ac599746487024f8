#include "text/CanonicalMatcher.h"

#include "text/Graphemes.h"
#include "text/LiteralSearch.h"
#include "text/Utf.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>

namespace lexorra::text {
namespace {

icu::UnicodeString decomposed(std::string_view s) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status) || !nfd) return toUnicode(s);
    icu::UnicodeString result = nfd->normalize(toUnicode(s), status);
    return U_SUCCESS(status) ? result : toUnicode(s);
}

bool isAsciiByte(char c) { return static_cast<unsigned char>(c) < 0x80; }

const icu::Normalizer2* nfdInstance() {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    return U_SUCCESS(status) ? nfd : nullptr;
}

// The only characters whose canonical decomposition is plain ASCII (KELVIN SIGN, GREEK
// QUESTION MARK, GREEK VARIA): with none of them in a text, an ASCII needle can only match
// where its bytes occur.
bool mayDecomposeToAscii(std::string_view text) {
    return text.find("\u212A") != std::string_view::npos || text.find("\u037E") != std::string_view::npos ||
           text.find("\u1FEF") != std::string_view::npos;
}

// Whether a canonical segment starts at i: the end of the text, an ASCII character, or a
// character after which nothing before it can reorder or combine.
bool segmentStartsAt(std::string_view text, size_t i, const icu::Normalizer2& nfd) {
    if (i >= text.size() || isAsciiByte(text[i])) return true;
    size_t next = i;
    return nfd.hasBoundaryBefore(static_cast<UChar32>(nextCodePoint(text, next)));
}

// The first code point of the canonical decomposition of the text's first character, when
// that is a starter (which canonical reordering never moves); -1 otherwise.
UChar32 leadingStarter(std::string_view text, const icu::Normalizer2& nfd) {
    if (text.empty()) return -1;
    size_t i = 0;
    const auto c = static_cast<UChar32>(nextCodePoint(text, i));
    UChar32 first = c;
    if (icu::UnicodeString decomposition; nfd.getDecomposition(c, decomposition) && !decomposition.isEmpty())
        first = decomposition.char32At(0);
    return nfd.getCombiningClass(first) == 0 ? first : -1;
}

} // namespace

struct CanonicalMatcher::Cluster {
    std::string_view bytes;
    icu::UnicodeString nfd;
};

CanonicalMatcher::CanonicalMatcher(std::string_view needle) : m_needle(needle), m_ascii(isAscii(needle)) {
    if (m_ascii || needle.empty()) return;
    // A prepended concatenation mark or a carriage return keeps the next character in its cluster.
    size_t i = needle.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(needle[i]) & 0xC0) == 0x80) --i;
    const char32_t last = nextCodePoint(needle, i);
    m_lastMayJoinNext = last == '\r' || u_getIntPropertyValue(static_cast<UChar32>(last), UCHAR_GRAPHEME_CLUSTER_BREAK) ==
                                              U_GCB_PREPEND;
}

CanonicalMatcher::~CanonicalMatcher() = default;

bool CanonicalMatcher::isContainedIn(std::string_view text) const {
    if (m_needle.empty() || text.empty()) return false;
    if (m_ascii && isAscii(text)) return text.find(m_needle) != std::string_view::npos;
    const icu::Normalizer2* nfd = nfdInstance();
    if (m_ascii && nfd && !mayDecomposeToAscii(text)) {
        // An ASCII needle starts a segment wherever its bytes occur; it matches where it also
        // ends one (no combining mark of the text's character follows it).
        for (size_t at = text.find(m_needle); at != std::string_view::npos; at = text.find(m_needle, at + 1))
            if (segmentStartsAt(text, at + m_needle.size(), *nfd)) return true;
        return false;
    }
    return !findLiteral(text, m_needle, false).empty();
}

bool CanonicalMatcher::isPrefixOf(std::string_view text) {
    if (m_needle.empty()) return true;
    const size_t n = m_needle.size();
    if (m_ascii) {
        // An ASCII needle compares byte by byte as long as the text is ASCII where it is looked at.
        size_t i = 0;
        const size_t common = std::min(n, text.size());
        while (i < common && text[i] == m_needle[i]) ++i;
        if (i == n) {
            if (text.size() == n) return true;
            // The needle's last cluster must end where the text's does: only a mark, a joiner
            // or the LF of a CR LF could extend it.
            if (isAsciiByte(text[n])) return !(m_needle.back() == '\r' && text[n] == '\n');
            return isPrefixSlow(text);
        }
        if (i == text.size() || isAsciiByte(text[i])) return false;
        return isPrefixSlow(text);
    }
    const icu::Normalizer2* nfd = nfdInstance();
    if (!nfd) return isPrefixSlow(text);
    if (m_leadingStarter == -2) m_leadingStarter = leadingStarter(m_needle, *nfd);
    if (text.starts_with(m_needle)) {
        // Equal bytes cluster alike; only the needle's last cluster could run on into the text.
        if (text.size() == n) return true;
        if (isAsciiByte(text[n]) && text[n] != '\n' && !m_lastMayJoinNext) return true;
        return isPrefixSlow(text);
    }
    // Different first starters can never be equivalent: most texts are rejected here without
    // walking clusters.
    if (m_leadingStarter >= 0) {
        const UChar32 first = leadingStarter(text, *nfd);
        if (first >= 0 && first != m_leadingStarter) return false;
    }
    return isPrefixSlow(text);
}

bool CanonicalMatcher::isPrefixSlow(std::string_view text) {
    if (!m_clustersBuilt) {
        for (auto cluster : graphemes(m_needle)) m_clusters.push_back({cluster, decomposed(cluster)});
        m_clustersBuilt = true;
    }
    m_cursor.reset(text);
    size_t start = 0;
    for (const auto& cluster : m_clusters) {
        const size_t end = m_cursor.next();
        if (end == GraphemeCursor::npos) return false;
        const std::string_view piece = text.substr(start, end - start);
        if (piece != cluster.bytes && decomposed(piece) != cluster.nfd) return false;
        start = end;
    }
    return true;
}

} // namespace lexorra::text
