#pragma once

#include "core/TextAction.h"

#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <optional>
#include <string>
#include <string_view>

namespace lexorra {

enum class DateConverterType { unixToHumanReadable = 0, humanReadableToUnix = 1, dateFormat = 2 };

// Rewrites dates inside a text: Unix timestamps to readable dates, readable dates to
// timestamps, or readable dates to another pattern. Everything else stays as it is.
//   TextActionDateConverter a;                 // Unix -> readable, short date and time
//   a.transform("at 1700000000") == "at 11/14/23, 10:13 PM"   (en_US, UTC)
class TextActionDateConverter : public TextAction {
public:
    TextActionDateConverter() : TextAction(TextActionType::dateConverter) {}

    DateConverterType dateConverterType = DateConverterType::unixToHumanReadable;
    std::string format;
    std::string toFormat = "MM/dd/yy";

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;

    // The transform with an explicit locale and time zone instead of the user's.
    std::string convert(std::string_view text, const icu::Locale& locale, const icu::TimeZone& zone) const;
};

// What the option panel fills an empty `format` with: the locale's short date and short
// time pattern ("M/d/yy, h:mm a" in en_US, with a narrow no-break space before "a").
std::string defaultDateConverterFormat(const icu::Locale& locale = icu::Locale::getDefault());
// What the option panel fills an empty `toFormat` with.
inline constexpr std::string_view defaultDateConverterToFormat = "MM/dd/yy, HH:mm";

// Reads a whole piece as a date: `format` first, then the fixed list of day-first and
// month-first patterns, then ISO 8601 internet date-time. Seconds since 1970 UTC.
//   readDateSeconds("03/04/21", "", en, utc) == 1617408000   (3 April 2021)
std::optional<double> readDateSeconds(std::string_view piece, std::string_view format, const icu::Locale& locale,
                                      const icu::TimeZone& zone);

// ISO 8601 internet date-time: "2021-03-04T05:06:07Z" or with a "+01:00" offset.
std::optional<double> parseInternetDateTime(std::string_view piece);

} // namespace lexorra
