#include "text/SentenceSplitter.h"

#include "text/Utf.h"

#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

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

// True when ASCII text holds no sentence break: the segmentation only breaks after a paragraph
// separator (in ASCII CR and LF) or after a terminator (".", "!" and "?") and what may follow it.
bool asciiWithoutBreaks(std::string_view s) {
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80 || c == '.' || c == '!' || c == '?' || c == '\r' || c == '\n') return false;
    }
    return true;
}

} // namespace

std::vector<std::string_view> sentences(std::string_view s) {
    std::vector<std::string_view> out;
    if (s.empty()) return out;
    if (asciiWithoutBreaks(s)) {
        if (const size_t n = trimmedLength(s)) out.push_back(s.substr(0, n));
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
