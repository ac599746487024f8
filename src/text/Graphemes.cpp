#include "text/Graphemes.h"

#include "text/GraphemeCursor.h"
#include "text/Utf.h"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <algorithm>
#include <memory>

namespace lexorra::text {
namespace {

// ASCII text has one grapheme per byte except for CR LF, which is one cluster.
bool asciiFastPath(std::string_view s) { return isAscii(s); }

} // namespace

bool moreGraphemesThan(std::string_view s, size_t limit) {
    if (s.size() <= limit) return false; // a character takes at least one byte
    // A boundary found before the end of a prefix of whole characters is a boundary of the
    // whole text: whether a cluster breaks depends on what precedes the break and the one
    // character after it.
    // Only clusters of more than eight bytes on average need the whole text.
    const std::string_view head = utf8Prefix(s, limit * 8 + 8); // whole characters
    GraphemeCursor cursor;
    cursor.reset(head);
    const size_t end = cursor.advance(limit);
    if (end < head.size()) return true;
    if (head.size() == s.size()) return false;
    cursor.reset(s);
    return cursor.advance(limit) < s.size();
}

std::vector<size_t> graphemeBoundaries(std::string_view s) {
    std::vector<size_t> bounds;
    bounds.reserve(s.size() + 1);
    if (asciiFastPath(s)) {
        bounds.push_back(0);
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
            bounds.push_back(i + 1);
        }
        if (s.empty()) return bounds;
        return bounds;
    }
    UErrorCode status = U_ZERO_ERROR;
    UText* ut = utext_openUTF8(nullptr, s.data(), static_cast<int64_t>(s.size()), &status);
    std::unique_ptr<icu::BreakIterator> it(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !it) {
        utext_close(ut);
        bounds.assign({0, s.size()});
        return bounds;
    }
    it->setText(ut, status);
    for (int32_t b = it->first(); b != icu::BreakIterator::DONE; b = it->next()) bounds.push_back(static_cast<size_t>(b));
    utext_close(ut);
    if (bounds.empty() || bounds.front() != 0) bounds.insert(bounds.begin(), 0);
    return bounds;
}

std::vector<std::string_view> graphemes(std::string_view s) {
    auto bounds = graphemeBoundaries(s);
    std::vector<std::string_view> out;
    if (bounds.size() < 2) return out;
    out.reserve(bounds.size() - 1);
    for (size_t i = 0; i + 1 < bounds.size(); ++i) out.push_back(s.substr(bounds[i], bounds[i + 1] - bounds[i]));
    return out;
}

size_t graphemeCount(std::string_view s) {
    if (asciiFastPath(s)) {
        size_t count = s.size();
        for (size_t i = 0; i + 1 < s.size(); ++i)
            if (s[i] == '\r' && s[i + 1] == '\n') --count;
        return count;
    }
    auto bounds = graphemeBoundaries(s);
    return bounds.empty() ? 0 : bounds.size() - 1;
}

} // namespace lexorra::text
