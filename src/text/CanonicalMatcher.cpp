#include "text/CanonicalMatcher.h"

#include "text/Graphemes.h"
#include "text/LiteralSearch.h"
#include "text/Utf.h"

#include <unicode/normalizer2.h>

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

} // namespace

struct CanonicalMatcher::Cluster {
    std::string_view bytes;
    icu::UnicodeString nfd;
};

CanonicalMatcher::CanonicalMatcher(std::string_view needle) : m_needle(needle), m_ascii(isAscii(needle)) {}

CanonicalMatcher::~CanonicalMatcher() = default;

bool CanonicalMatcher::isContainedIn(std::string_view text) const {
    if (m_needle.empty() || text.empty()) return false;
    if (m_ascii && isAscii(text)) return text.find(m_needle) != std::string_view::npos;
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
