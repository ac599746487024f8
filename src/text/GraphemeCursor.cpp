#include "text/GraphemeCursor.h"

#include "text/Utf.h"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

namespace lexorra::text {

struct GraphemeCursor::Icu {
    std::unique_ptr<icu::BreakIterator> iterator;
    UText* utext = nullptr;
    ~Icu() { utext_close(utext); }
};

GraphemeCursor::GraphemeCursor() = default;
GraphemeCursor::~GraphemeCursor() = default;

void GraphemeCursor::reset(std::string_view s) {
    m_text = s;
    m_position = 0;
    m_mode = isAscii(s) ? Mode::ascii : Mode::icu;
    if (m_mode == Mode::ascii) return;
    UErrorCode status = U_ZERO_ERROR;
    if (!m_icu) {
        auto icuState = std::make_unique<Icu>();
        icuState->iterator.reset(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status) || !icuState->iterator) {
            // Without break rules, code points are the closest stand-in for clusters.
            m_mode = Mode::codePoints;
            return;
        }
        m_icu = std::move(icuState);
    }
    m_icu->utext = utext_openUTF8(m_icu->utext, s.data(), static_cast<int64_t>(s.size()), &status);
    m_icu->iterator->setText(m_icu->utext, status);
    if (U_FAILURE(status)) m_mode = Mode::codePoints;
}

size_t GraphemeCursor::next() {
    if (m_position >= m_text.size()) return npos;
    if (m_mode != Mode::icu) {
        if (m_text[m_position] == '\r' && m_position + 1 < m_text.size() && m_text[m_position + 1] == '\n')
            m_position += 2;
        else if (static_cast<unsigned char>(m_text[m_position]) < 0x80)
            ++m_position;
        else
            nextCodePoint(m_text, m_position); // only when ICU could not be set up
        return m_position;
    }
    // Between two ASCII characters there is always a boundary except inside CR LF, so mostly
    // Latin text only asks ICU around its other characters.
    const auto here = static_cast<unsigned char>(m_text[m_position]);
    const size_t after = m_position + 1;
    if (here < 0x80 && here != '\r' && (after == m_text.size() || static_cast<unsigned char>(m_text[after]) < 0x80)) {
        m_position = after;
        return m_position;
    }
    const int32_t b = m_icu->iterator->following(static_cast<int32_t>(m_position));
    m_position = b == icu::BreakIterator::DONE ? m_text.size() : static_cast<size_t>(b);
    return m_position;
}

size_t GraphemeCursor::advance(size_t count) {
    if (m_mode == Mode::ascii && m_text.find('\r', m_position) == std::string_view::npos) {
        m_position += std::min(count, m_text.size() - m_position);
        return m_position;
    }
    for (size_t i = 0; i < count && next() != npos; ++i) {
    }
    return m_position;
}

} // namespace lexorra::text
