#pragma once

#include <unicode/regex.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lexorra::text {

struct RegexOptions {
    bool caseInsensitive = false;
    bool multiline = true; // ^ and $ match at every line
    bool dotAll = false;
};

enum class RegexStatus {
    ok,
    invalidPattern, // the pattern did not compile
    timedOut,       // one match attempt ran past the time limit (catastrophic backtracking)
    tooComplex,     // the match engine's backtracking stack overflowed
    cancelled,      // the run became stale
};

// Match-engine steps allowed per match attempt over a short text (a longer one gets more,
// in proportion to its length). One step is roughly 10,000 engine operations, so this ends
// a catastrophic pattern after a fraction of a second.
inline constexpr int32_t defaultRegexTimeLimit = 6000;

// A compiled ICU regular expression with the safety rails every user pattern needs:
// a time limit, a cancellation poll and status reporting instead of silent failure.
//
//   auto re = Regex::compile("(\\d+)", {});
//   auto r = re->replaceAll(u"a1b22", "[$1]");   // "a[1]b[22]"
class Regex {
public:
    static std::optional<Regex> compile(std::string_view pattern, RegexOptions options, std::string* error = nullptr);

    struct ReplaceResult {
        RegexStatus status = RegexStatus::ok;
        icu::UnicodeString text;
    };

    // Replaces every match; the template follows the usual substitution rules:
    // $0..$N name the match and its groups (as many digits as the group count needs;
    // a group that does not exist or did not take part gives nothing), a backslash takes
    // the next character literally, any other $ stands for itself.
    ReplaceResult replaceAll(const icu::UnicodeString& input, const icu::UnicodeString& replacementTemplate) const;

    // The same over UTF-8 text, building the result directly in UTF-8: the input is matched
    // as UTF-16 (ICU's fast path) and the output copied from the original bytes.
    struct Utf8ReplaceResult {
        RegexStatus status = RegexStatus::ok;
        std::string text;
    };
    Utf8ReplaceResult replaceAll(std::string_view input, std::string_view replacementTemplate) const;

    // Calls visit(start, end) in UTF-16 units for every match; visit returns false to stop.
    RegexStatus forEachMatch(const icu::UnicodeString& input,
                             const std::function<bool(const icu::RegexMatcher&)>& visit) const;

    int32_t groupCount() const;
    void setTimeLimit(int32_t steps) { m_timeLimit = steps; }

private:
    // Patterns a plain scan of UTF-8 answers exactly as the engine does: a run of decimal digits,
    // alone or as the only group.
    enum class DigitRun { none, anyScript, ascii };

    explicit Regex(std::shared_ptr<icu::RegexPattern> pattern) : m_pattern(std::move(pattern)) {}
    std::unique_ptr<icu::RegexMatcher> matcher(const icu::UnicodeString& input, UErrorCode& status) const;
    Utf8ReplaceResult replaceDigitRuns(std::string_view input, std::string_view replacementTemplate) const;

    std::shared_ptr<icu::RegexPattern> m_pattern;
    int32_t m_timeLimit = defaultRegexTimeLimit;
    DigitRun m_digitRun = DigitRun::none;
};

} // namespace lexorra::text
