#include "actions/chars/TextActionDateConverter.h"

#include "text/Cancellation.h"
#include "text/DateExpressionFinder.h"
#include "text/LiteralSearch.h"
#include "text/NumberSpellOut.h"
#include "text/Utf.h"
#include "text/WordBreakTokens.h"

#include <unicode/datefmt.h>
#include <unicode/smpdtfmt.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <vector>

namespace lexorra {
namespace {

// Day-first before month-first: "03/04/21" is the 3rd of April.
constexpr const char* fallbackPatterns[] = {
    "dd/MM/yy",
    "dd/M/yy",
    "d/M/yy",
    "MM/dd/yy",
    "M/dd/yy",
    "M/d/yy",
    "yyyy-MM-dd HH:mm:ss",
    "yyyy-MM-dd'T'HH:mm:ss",
    "yyyy-MM-dd",
    "MM/dd/yyyy HH:mm:ss",
    "MM/dd/yyyy",
    "dd/MM/yyyy HH:mm:ss",
    "dd/MM/yyyy",
};

constexpr long long smallestTimestamp = 100000000; // numbers up to this stay numbers

using Formatter = std::unique_ptr<icu::SimpleDateFormat>;

Formatter makeFormatter(std::string_view pattern, const icu::Locale& locale, const icu::TimeZone& zone) {
    UErrorCode status = U_ZERO_ERROR;
    auto formatter = std::make_unique<icu::SimpleDateFormat>(text::toUnicode(pattern), locale, status);
    if (U_FAILURE(status)) return nullptr;
    formatter->setTimeZone(zone);
    formatter->setLenient(false);
    return formatter;
}

// The reading formatters of one transform, built once: a text may hold many dates.
class DateReader {
public:
    DateReader(std::string_view format, const icu::Locale& locale, const icu::TimeZone& zone) {
        m_formatters.push_back(format.empty() ? nullptr : makeFormatter(format, locale, zone));
        for (const char* pattern : fallbackPatterns)
            m_formatters.push_back(makeFormatter(pattern, locale, zone));
    }

    std::optional<double> read(std::string_view piece) const {
        const icu::UnicodeString text = text::toUnicode(piece);
        for (const auto& formatter : m_formatters) {
            if (!formatter || text.isEmpty()) continue;
            // Strict parsing still stops early on trailing text: the whole piece must be used.
            icu::ParsePosition position(0);
            const UDate date = formatter->parse(text, position);
            if (position.getErrorIndex() < 0 && position.getIndex() == text.length()) return date / 1000.0;
        }
        return parseInternetDateTime(piece);
    }

private:
    std::vector<Formatter> m_formatters;
};

bool digitsAt(std::string_view s, size_t at, size_t count, int& value) {
    if (at + count > s.size()) return false;
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

// Days from 1970-01-01 to a proleptic Gregorian date.
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// Whether writing `written` into a text may form an occurrence of `expression` that was not
// there: one that lies inside it, contains it, or straddles one of its ends.
bool mayForm(std::string_view written, std::string_view expression) {
    if (written.empty() || written.find(expression) != std::string_view::npos ||
        expression.find(written) != std::string_view::npos)
        return true;
    for (size_t k = 1; k < std::min(written.size(), expression.size()); ++k)
        if (expression.ends_with(written.substr(0, k)) || expression.starts_with(written.substr(written.size() - k)))
            return true;
    return false;
}

} // namespace

std::optional<double> parseInternetDateTime(std::string_view s) {
    int year, month, day, hour, minute, second;
    if (s.size() < 20 || !digitsAt(s, 0, 4, year) || s[4] != '-' || !digitsAt(s, 5, 2, month) || s[7] != '-' ||
        !digitsAt(s, 8, 2, day) || (s[10] != 'T' && s[10] != 't') || !digitsAt(s, 11, 2, hour) || s[13] != ':' ||
        !digitsAt(s, 14, 2, minute) || s[16] != ':' || !digitsAt(s, 17, 2, second))
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    int offsetMinutes = 0;
    const std::string_view zone = s.substr(19);
    if (zone != "Z" && zone != "z") {
        int zh, zm;
        const bool withColon = zone.size() == 6 && zone[3] == ':';
        if ((zone.size() != 5 && !withColon) || (zone[0] != '+' && zone[0] != '-') || !digitsAt(zone, 1, 2, zh) ||
            !digitsAt(zone, withColon ? 4 : 3, 2, zm) || zh > 23 || zm > 59)
            return std::nullopt;
        offsetMinutes = (zh * 60 + zm) * (zone[0] == '-' ? -1 : 1);
    }
    const long long days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    return static_cast<double>(days * 86400 + hour * 3600 + minute * 60 + second - offsetMinutes * 60);
}

std::optional<double> readDateSeconds(std::string_view piece, std::string_view format, const icu::Locale& locale,
                                      const icu::TimeZone& zone) {
    return DateReader(format, locale, zone).read(piece);
}

std::string defaultDateConverterFormat(const icu::Locale& locale) {
    std::unique_ptr<icu::DateFormat> style(
        icu::DateFormat::createDateTimeInstance(icu::DateFormat::kShort, icu::DateFormat::kShort, locale));
    auto* simple = dynamic_cast<icu::SimpleDateFormat*>(style.get());
    if (!simple) return "M/d/yy, h:mm a";
    icu::UnicodeString pattern;
    simple->toPattern(pattern);
    return text::toUtf8(pattern);
}

const OptionList& TextActionDateConverter::options() const {
    using A = TextActionDateConverter;
    static const OptionList decls = {
        bind({.key = "DateConverterType",
              .label = "Convert:",
              .kind = OptionKind::menu,
              .cases = {{0, "unixToHumanReadable", "Unix -> Human Readable"},
                        {1, "humanReadableToUnix", "Human Readable -> Unix time stamp"},
                        {2, "dateFormat", "Date format"}}},
             &A::dateConverterType),
        bind({.key = "Format", .label = "Format:", .hint = "date pattern such as dd/MM/yyyy HH:mm"}, &A::format),
        bind({.key = "toFormat",
              .label = "To:",
              .hint = "date pattern written by Date format",
              .visible =
                  [](const TextAction& a) {
                      return static_cast<const A&>(a).dateConverterType == DateConverterType::dateFormat;
                  }},
             &A::toFormat),
    };
    return decls;
}

std::string TextActionDateConverter::convert(std::string_view text, const icu::Locale& locale,
                                             const icu::TimeZone& zone) const {
    if (dateConverterType == DateConverterType::unixToHumanReadable) {
        std::unique_ptr<icu::DateFormat> writer(
            icu::DateFormat::createDateTimeInstance(icu::DateFormat::kShort, icu::DateFormat::kShort, locale));
        if (!writer) return std::string(text);
        writer->setTimeZone(zone);
        if (auto* simple = dynamic_cast<icu::SimpleDateFormat*>(writer.get()); simple && !format.empty())
            simple->applyPattern(text::toUnicode(format));
        std::string out;
        out.reserve(text.size());
        for (std::string_view token : text::wordBreakTokens(text)) {
            const auto seconds = text::parseWholeNumber(token);
            if (!seconds || *seconds <= smallestTimestamp || token.front() == '+' || token.front() == '-') {
                out += token;
                continue;
            }
            icu::UnicodeString written;
            writer->format(static_cast<UDate>(*seconds) * 1000.0, written);
            out += text::toUtf8(written);
        }
        return out;
    }

    const std::vector<std::string_view> found = text::findDateExpressions(text);
    if (found.empty()) return std::string(text);
    const DateReader reader(format, locale, zone);
    Formatter writer;
    if (dateConverterType == DateConverterType::dateFormat) {
        writer = makeFormatter(toFormat, locale, zone);
        if (!writer) return std::string(text);
    }

    // Each distinct expression is read once. A repeat replaces every occurrence again, as its
    // first pass did; that can only change the text when a replacement written since then
    // may have formed a new occurrence of it, so otherwise the repeat is skipped.
    // Replacing every occurrence costs a scan of the whole text per pass; past a few billion
    // bytes of scanning (huge logs full of distinct timestamps) each found stretch is
    // replaced where it was found instead.
    constexpr double scanBudget = 4e9;
    const double passBudget = scanBudget / static_cast<double>(text.size());
    struct Reading {
        std::optional<std::string> replacement;
        size_t settledPasses = 0; // passes known not to have brought the expression back
    };
    std::unordered_map<std::string_view, Reading> readings;
    std::vector<std::pair<std::string_view, const std::string*>> passes;
    std::vector<std::pair<std::string_view, const std::string*>> positional;
    bool everyOccurrence = true;
    for (std::string_view expression : found) {
        if (runIsStale()) return std::string(text);
        auto [it, inserted] = readings.try_emplace(expression);
        Reading& reading = it->second;
        if (inserted) {
            if (const auto seconds = reader.read(expression)) {
                if (writer) {
                    icu::UnicodeString written;
                    writer->format(*seconds * 1000.0, written);
                    reading.replacement = text::toUtf8(written);
                } else {
                    reading.replacement = std::to_string(static_cast<long long>(std::trunc(*seconds)));
                }
            }
        }
        if (!reading.replacement) continue;
        positional.emplace_back(expression, &*reading.replacement);
        if (!everyOccurrence) continue;
        bool needed = inserted;
        for (size_t i = reading.settledPasses; i < passes.size() && !needed; ++i)
            needed = mayForm(*passes[i].second, expression);
        if (!needed) {
            reading.settledPasses = passes.size();
            continue;
        }
        passes.emplace_back(expression, &*reading.replacement);
        // Its own replacement may contain it: the next repeat looks at this pass too.
        reading.settledPasses = passes.size() - 1;
        everyOccurrence = static_cast<double>(passes.size()) <= passBudget;
    }

    if (!everyOccurrence) {
        std::string out;
        out.reserve(text.size());
        size_t last = 0;
        for (const auto& [expression, replacement] : positional) {
            const auto at = static_cast<size_t>(expression.data() - text.data());
            out.append(text, last, at - last);
            out += *replacement;
            last = at + expression.size();
        }
        out.append(text, last, std::string_view::npos);
        return out;
    }
    std::string result(text);
    for (const auto& [expression, replacement] : passes) {
        if (runIsStale()) return std::string(text);
        result = text::replaceExact(result, expression, *replacement);
    }
    return result;
}

std::string TextActionDateConverter::transform(std::string_view text) const {
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createDefault());
    return convert(text, icu::Locale::getDefault(), *zone);
}

LEXORRA_ACTION_FACTORY(TextActionDateConverter)

} // namespace lexorra
