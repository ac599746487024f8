#include "text/ClusterWalker.h"

#include "text/Utf.h"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

namespace lexorra::text {

ClusterWalker::ClusterWalker() {
    UErrorCode status = U_ZERO_ERROR;
    m_iterator.reset(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) m_iterator.reset();
}

ClusterWalker::~ClusterWalker() {
    if (m_text) utext_close(m_text);
}

bool ClusterWalker::attach(std::string_view s) {
    if (!m_iterator) return false;
    UErrorCode status = U_ZERO_ERROR;
    m_text = utext_openUTF8(m_text, s.data(), static_cast<int64_t>(s.size()), &status);
    if (U_FAILURE(status)) return false;
    m_iterator->setText(m_text, status);
    return U_SUCCESS(status);
}

namespace {

bool isAsciiByte(char c) { return (static_cast<unsigned char>(c) & 0x80) == 0; }

// End of the ASCII character at i: a CR LF pair is one character.
size_t asciiCharacterEnd(std::string_view s, size_t i) {
    return (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ? i + 2 : i + 1;
}

} // namespace

// Between two ASCII characters there is always a boundary (no ASCII character is an
// extender, a prepended mark, a regional indicator or a pictograph), so ICU only has to
// look at the stretches around non-ASCII text: from the ASCII character before such a
// stretch to the one after it, both of which sit on certain boundaries. Accented prose is
// mostly ASCII, and this keeps its cost close to that of ASCII text.
const std::vector<size_t>& ClusterWalker::boundaries(std::string_view s) {
    m_bounds.clear();
    m_bounds.reserve(s.size() + 1); // at most one boundary per byte: no regrowth on big texts
    m_bounds.push_back(0);
    if (s.empty()) return m_bounds;
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        if (isAsciiByte(s[i])) {
            const size_t end = asciiCharacterEnd(s, i);
            if (end >= n || isAsciiByte(s[end])) {
                m_bounds.push_back(end);
                i = end;
                continue;
            }
        }
        // A window from the boundary at i over the non-ASCII text and the ASCII character
        // that follows it; windows that would touch are one window.
        size_t j = i;
        while (j < n) {
            if (!isAsciiByte(s[j])) {
                ++j;
                continue;
            }
            const size_t end = asciiCharacterEnd(s, j);
            j = end;
            if (end >= n || isAsciiByte(s[end])) break;
        }
        if (!attach(s.substr(i, j - i))) {
            m_bounds.push_back(j);
        } else {
            for (int32_t b = m_iterator->next(); b != icu::BreakIterator::DONE; b = m_iterator->next())
                if (b > 0) m_bounds.push_back(i + static_cast<size_t>(b));
            if (m_bounds.back() != j) m_bounds.push_back(j);
        }
        i = j;
    }
    return m_bounds;
}

size_t ClusterWalker::count(std::string_view s) {
    if (isAscii(s)) {
        size_t n = s.size();
        for (size_t i = 0; i + 1 < s.size(); ++i)
            if (s[i] == '\r' && s[i + 1] == '\n') --n;
        return n;
    }
    return boundaries(s).size() - 1;
}

size_t ClusterWalker::prefixBytes(std::string_view s, size_t n) {
    if (n == 0) return 0;
    if (isAscii(s)) {
        size_t i = 0;
        for (size_t taken = 0; taken < n && i < s.size(); ++taken)
            i += (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ? 2 : 1;
        return i;
    }
    const auto& bounds = boundaries(s);
    return n < bounds.size() ? bounds[n] : s.size();
}

} // namespace lexorra::text
