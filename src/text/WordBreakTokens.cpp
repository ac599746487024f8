#include "text/WordBreakTokens.h"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <memory>

namespace lexorra::text {

std::vector<std::string_view> wordBreakTokens(std::string_view utf8) {
    std::vector<std::string_view> tokens;
    if (utf8.empty()) return tokens;
    UErrorCode status = U_ZERO_ERROR;
    // Iterating over UTF-8 directly makes the boundaries byte offsets: no UTF-16 round trip.
    UText* text = utext_openUTF8(nullptr, utf8.data(), static_cast<int64_t>(utf8.size()), &status);
    std::unique_ptr<icu::BreakIterator> words(icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !words) {
        utext_close(text);
        tokens.push_back(utf8);
        return tokens;
    }
    words->setText(text, status);
    int32_t start = words->first();
    for (int32_t end = words->next(); end != icu::BreakIterator::DONE; start = end, end = words->next())
        tokens.push_back(utf8.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
    words.reset();
    utext_close(text);
    return tokens;
}

} // namespace lexorra::text
