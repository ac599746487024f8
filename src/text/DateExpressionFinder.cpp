#include "text/DateExpressionFinder.h"

#include <unicode/regex.h>
#include <unicode/utext.h>

#include <charconv>
#include <memory>
#include <string>

namespace lexorra::text {
namespace {

// "May" is a month only when capitalised: lower-case "may" is far more often the verb.
constexpr const char* monthName =
    "(?:jan(?:uary)?|feb(?:ruary)?|mar(?:ch)?|apr(?:il)?|(?-i:May|MAY)|june?|july?|aug(?:ust)?"
    "|sep(?:t(?:ember)?)?|oct(?:ober)?|nov(?:ember)?|dec(?:ember)?)(?:\\.(?=\\s))?";
constexpr const char* weekday =
    "(?:(?:mon(?:day)?|tue(?:s(?:day)?)?|wed(?:nesday)?|thu(?:r(?:s(?:day)?)?)?|fri(?:day)?|sat(?:urday)?"
    "|sun(?:day)?)\\.?,?\\h+)?";
constexpr const char* dayOfMonth = "(?:3[01]|[12][0-9]|0?[1-9])(?:st|nd|rd|th)?";
constexpr const char* clock =
    "(?:(?:[01]?[0-9]|2[0-3]):[0-5][0-9](?::[0-5][0-9](?:[.,][0-9]+)?)?(?:\\h?[ap]\\.?m\\.?(?![\\p{L}\\p{N}]))?"
    "|(?:1[0-2]|0?[1-9])\\h?[ap]\\.?m\\.?(?![\\p{L}\\p{N}]))"
    "(?:\\h?(?:z|utc|gmt|[+-][0-9]{2}:?[0-9]{2})(?![\\p{L}\\p{N}]))?";

// Parts of an expression are joined by spaces and tabs only: a date at the end of one line
// and a time at the start of the next are two things, and the line break between them stays.
std::string buildPattern() {
    const std::string time = std::string("(?:(?:t|\\h*,\\h*|\\h+at\\h+|\\h+)") + clock + ")?";
    const std::string numericYearFirst = "(?<ymd>[0-9]{4}([-/.])[0-9]{1,2}\\2[0-9]{1,2})";
    // Both separators must be the same character: "1/2-3" is no date.
    const std::string numericYearLast = "(?<dmy>[0-9]{1,2}([-/.])[0-9]{1,2}\\4(?:[0-9]{4}|[0-9]{2}))";
    const std::string dayFirst =
        std::string(weekday) + dayOfMonth + "(?:\\h+of)?\\h+" + monthName + "(?:,?\\h+[0-9]{4})?";
    const std::string monthFirst = std::string(weekday) + monthName + "\\h+" + dayOfMonth + "(?:,?\\h+[0-9]{4})?";
    return "(?<![\\p{L}\\p{N}])(?:" + numericYearFirst + "|" + numericYearLast + "|" + dayFirst + "|" + monthFirst +
           ")" + time + "(?![\\p{L}\\p{N}])";
}

int numberAt(std::string_view s) {
    int value = 0;
    std::from_chars(s.data(), s.data() + s.size(), value);
    return value;
}

// Splits "31/12/2023" at its separator into the three numbers.
bool threeNumbers(std::string_view s, int (&out)[3]) {
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        size_t end = i < 2 ? s.find_first_of("-/.", start) : s.size();
        if (end == std::string_view::npos) return false;
        out[i] = numberAt(s.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

// Numbers that cannot be a day and a month in either order are version numbers or
// fractions, not dates.
bool plausibleNumericDate(std::string_view date, bool yearFirst) {
    int n[3];
    if (!threeNumbers(date, n)) return false;
    if (yearFirst) return n[1] >= 1 && n[1] <= 12 && n[2] >= 1 && n[2] <= 31;
    if (n[0] < 1 || n[1] < 1 || n[0] > 31 || n[1] > 31) return false;
    return n[0] <= 12 || n[1] <= 12;
}

} // namespace

std::vector<std::string_view> findDateExpressions(std::string_view text) {
    std::vector<std::string_view> found;
    if (text.empty()) return found;
    UErrorCode status = U_ZERO_ERROR;
    // A compiled pattern is shared by all threads; each call makes its own matcher.
    static const std::unique_ptr<icu::RegexPattern> regex = [] {
        UErrorCode compileStatus = U_ZERO_ERROR;
        UParseError parseError;
        std::unique_ptr<icu::RegexPattern> compiled(icu::RegexPattern::compile(
            icu::UnicodeString::fromUTF8(buildPattern()), UREGEX_CASE_INSENSITIVE, parseError, compileStatus));
        return U_SUCCESS(compileStatus) ? std::move(compiled) : nullptr;
    }();
    if (!regex) return found;
    // Matching over UTF-8 keeps every offset a byte offset into the text.
    UText* utext = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
    std::unique_ptr<icu::RegexMatcher> matcher(regex->matcher(status));
    if (U_FAILURE(status)) {
        utext_close(utext);
        return found;
    }
    matcher->reset(utext);
    const int32_t ymdGroup = regex->groupNumberFromName("ymd", -1, status);
    const int32_t dmyGroup = regex->groupNumberFromName("dmy", -1, status);
    int64_t from = 0;
    while (U_SUCCESS(status) && matcher->find(from, status)) {
        const int64_t start = matcher->start64(status);
        const int64_t end = matcher->end64(status);
        bool keep = true;
        for (auto [group, yearFirst] : {std::pair{ymdGroup, true}, std::pair{dmyGroup, false}}) {
            const int64_t gs = matcher->start64(group, status);
            if (gs < 0) continue;
            const int64_t ge = matcher->end64(group, status);
            keep = plausibleNumericDate(text.substr(static_cast<size_t>(gs), static_cast<size_t>(ge - gs)), yearFirst);
        }
        if (keep) {
            found.push_back(text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
            from = end;
        } else {
            from = start + 1;
        }
        if (from >= static_cast<int64_t>(text.size())) break;
    }
    matcher.reset();
    utext_close(utext);
    return found;
}

} // namespace lexorra::text
