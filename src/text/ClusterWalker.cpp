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

const std::vector<size_t>& ClusterWalker::boundaries(std::string_view s) {
    m_bounds.clear();
    m_bounds.push_back(0);
    if (s.empty()) return m_bounds;
    if (isAscii(s)) {
        // In ASCII only CR LF forms a cluster of more than one byte.
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
            m_bounds.push_back(i + 1);
        }
        return m_bounds;
    }
    if (!attach(s)) {
        m_bounds.push_back(s.size());
        return m_bounds;
    }
    for (int32_t b = m_iterator->next(); b != icu::BreakIterator::DONE; b = m_iterator->next())
        m_bounds.push_back(static_cast<size_t>(b));
    if (m_bounds.back() != s.size()) m_bounds.push_back(s.size());
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
