#include "actions/data/openai/PromptBudget.h"

#include "core/SharedLibrary.h"
#include "text/Graphemes.h"
#include "text/Utf.h"

#include <cld2/internal/lang_script.h>
#include <cld2/public/compact_lang_det.h>
#include <cstdio> // the language detector's headers use it without including it
#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/ubrk.h>

#include <memory>

namespace lexorra::openai {

namespace {

// The language detector is opened when a prompt is first measured, not at every start of
// the program. Its entry points are C++ functions, found by their linker names.
struct LanguageDetector {
    CLD2::Language (*summary)(const char*, int, bool, CLD2::Language*, int*, int*, bool*);
    const char* (*code)(CLD2::Language);
};

const LanguageDetector* languageDetector() {
    return loadFunctions<LanguageDetector>("libcld2.so.0", [](const SharedLibrary& library, LanguageDetector& d) {
        return library.resolve("_ZN4CLD221DetectLanguageSummaryEPKcibPNS_8LanguageEPiS4_Pb", d.summary) &&
               library.resolve("_ZN4CLD212LanguageCodeENS_8LanguageE", d.code);
    });
}

} // namespace

std::size_t countWords(std::string_view text) {
    const icu::UnicodeString s = text::toUnicode(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> words(
        icu::BreakIterator::createWordInstance(icu::Locale::getDefault(), status));
    if (U_FAILURE(status)) return 0;
    words->setText(s);
    std::size_t count = 0;
    for (int32_t end = words->next(); end != icu::BreakIterator::DONE; end = words->next())
        if (words->getRuleStatus() != UBRK_WORD_NONE) ++count;
    return count;
}

std::string dominantLanguageDisplayName(std::string_view text) {
    // The summary's first language, not the return value: the detector answers English by
    // default when it recognises nothing, which would wrongly drop the word term.
    const LanguageDetector* detector = languageDetector();
    if (!detector) return {};
    bool reliable = false;
    CLD2::Language top3[3];
    int percent3[3];
    int textBytes = 0;
    detector->summary(text.data(), static_cast<int>(text.size()), true, top3, percent3, &textBytes, &reliable);
    const CLD2::Language language = top3[0];
    if (language == CLD2::UNKNOWN_LANGUAGE || language == CLD2::TG_UNKNOWN_LANGUAGE) return {};
    icu::UnicodeString name;
    icu::Locale(detector->code(language)).getDisplayName(icu::Locale::getDefault(), name);
    name.toLower(icu::Locale::getDefault());
    return text::toUtf8(name);
}

std::int64_t estimateMaxTokens(std::string_view inputPart, std::string_view prompt) {
    std::string wordsText(inputPart);
    wordsText += prompt;
    const double words = static_cast<double>(countWords(wordsText));
    const auto bytes = static_cast<std::int64_t>(inputPart.size());
    const auto chars = static_cast<std::int64_t>(text::graphemeCount(inputPart));
    const std::int64_t base = (bytes - chars) / 2 + bytes / 4;
    double remaining = 3800.0 - (words / 0.75 + static_cast<double>(base));
    if (dominantLanguageDisplayName(inputPart).find("english") != std::string::npos)
        remaining = 3800.0 - static_cast<double>(base);
    const auto truncated = static_cast<std::int64_t>(remaining);
    return truncated >= 0 ? truncated : 150;
}

} // namespace lexorra::openai
