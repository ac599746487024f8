#include "actions/chars/TextActionDateConverter.h"

#include "core/ActionFactory.h"
#include "text/DateExpressionFinder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace lexorra;

namespace {

constexpr auto toHuman = DateConverterType::unixToHumanReadable;
constexpr auto toUnix = DateConverterType::humanReadableToUnix;
constexpr auto reformat = DateConverterType::dateFormat;

struct Case {
    const char* name;
    DateConverterType type;
    std::string input;
    std::string expected;
    std::string format = "";
    std::string toFormat = "";
    const char* zone = "UTC";
};

TEST(DateConverter, Converts) {
    const Case cases[] = {
        {"pattern in UTC", toHuman, "created 1700000000 by user 42", "created 2023-11-14 22:13:20 by user 42",
         "yyyy-MM-dd HH:mm:ss"},
        {"pattern in Berlin", toHuman, "1700000000", "2023-11-14 23:13", "yyyy-MM-dd HH:mm", "", "Europe/Berlin"},
        {"short styles without a pattern", toHuman, "1700000000", "11/14/23, 10:13\u202FPM"},
        {"nine digits stay", toHuman, "100000000 and 100000001", "100000000 and 1973", "yyyy"},
        {"not a plain integer stays", toHuman, "1700000000abc", "1700000000abc", "yyyy"},
        {"decimal stays", toHuman, "1700000000.5", "1700000000.5", "yyyy"},
        {"punctuation around kept", toHuman, "(1700000000), [1700000000]!", "(2023), [2023]!", "yyyy"},
        {"lines kept", toHuman, "1700000000\n\n1700000000\n", "2023\n\n2023\n", "yyyy"},
        {"no dates unchanged", toHuman, "nothing to see, 12 here", "nothing to see, 12 here"},

        // Readable dates
        {"iso date in UTC", toUnix, "on 2023-12-31 ok", "on 1703980800 ok"},
        {"iso date in Berlin", toUnix, "2023-12-31", "1703977200", "", "", "Europe/Berlin"},
        {"day first", toUnix, "03/04/21", "1617408000"},
        {"month first when day first cannot be", toUnix, "12/31/21", "1640908800"},
        {"four-digit year day first", toUnix, "31/12/2023", "1703980800"},
        {"date and time", toUnix, "at 2023-12-31 10:00:00.", "at 1704016800."},
        {"iso T form", toUnix, "2023-12-31T10:00:00", "1704016800"},
        {"iso with Z ignores the zone", toUnix, "2021-03-04T05:06:07Z", "1614834367", "", "", "Asia/Tokyo"},
        {"iso with offset", toUnix, "2021-03-04T05:06:07+01:00", "1614830767"},
        {"same date twice replaced at both places", toUnix, "a 2023-12-31 b 2023-12-31 c",
         "a 1703980800 b 1703980800 c"},
        {"before 1970 truncates toward zero", toUnix, "1969-12-31 23:59:59", "-1"},
        {"month name needs the format", toUnix, "31 December 2023", "31 December 2023"},
        {"month name with the format", toUnix, "due 31 December 2023.", "due 1703980800.", "d MMMM yyyy"},
        {"format tried first", toUnix, "03/04/21", "1614816000", "MM/dd/yy"},
        {"impossible date stays", toUnix, "31/02/2023", "31/02/2023"},
        {"no dates unchanged", toUnix, "version 1.2.3 costs 3.50", "version 1.2.3 costs 3.50"},
        {"an earlier shorter date replaces inside a later longer one", toUnix, "31/12/2023 and 31/12/2023 10:00:00",
         "1703980800 and 1703980800 10:00:00"},
        {"every occurrence of the text is replaced, found or not", toUnix, "31/12/2023 x31/12/2023",
         "1703980800 x1703980800"},

        {"reformat day first", reformat, "due 31/12/2023", "due 2023-12-31", "", "yyyy-MM-dd"},
        {"reformat default target", reformat, "2023-12-31 and 1/2/2023", "12/31/23 and 02/01/23", "", "MM/dd/yy"},
        {"reformat with time and zone-free pattern", reformat, "2023-12-31 10:30:00", "10:30", "", "HH:mm",
         "Europe/Berlin"},
        {"reformat iso instant into the zone", reformat, "2021-03-04T05:06:07Z", "2021-03-04 06:06", "",
         "yyyy-MM-dd HH:mm", "Europe/Berlin"},
        {"reformat month names", reformat, "2023-12-31", "Sunday 31 December 2023", "", "EEEE d MMMM yyyy"},
        {"a replacement holding its date is replaced again per find", reformat, "2023-12-31 2023-12-31",
         "on on 2023-12-31 on on 2023-12-31", "", "'on' yyyy-MM-dd"},
        {"reformat leaves undetected text", reformat, "next Tuesday", "next Tuesday", "", "yyyy"},
        // Swapping day and month writes each date as the other: the third find undoes the second.
        {"a repeat is replaced again after another replacement wrote it", reformat, "01/02/2023 02/01/2023 01/02/2023",
         "02/01/2023 02/01/2023 02/01/2023", "", "MM/dd/yyyy"},
        {"a time on the next line is not part of the date", toUnix, "Date: 2023-12-31\n10:20:30 started",
         "Date: 1703980800\n10:20:30 started"},
        {"windows line ends kept too", reformat, "31/12/2023\r\n10:20:30", "2023-12-31\r\n10:20:30", "", "yyyy-MM-dd"},
    };
    for (const Case& c : cases) {
        TextActionDateConverter action;
        action.dateConverterType = c.type;
        action.format = c.format;
        action.toFormat = c.toFormat;
        std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(c.zone));
        EXPECT_EQ(action.convert(c.input, icu::Locale("en_US"), *zone), c.expected) << c.name;
    }
}

// 1700000000 is 2023-11-14 22:13:20 UTC.

struct FinderCase {
    const char* name;
    std::string text;
    std::vector<std::string_view> expected;
};

TEST(DateConverter, FindsDateExpressions) {
    const FinderCase finderCases[] = {
        {"slashes", "due 31/12/2023, paid 2024-01-02", {"31/12/2023", "2024-01-02"}},
        {"dots and dashes", "31.12.2023 or 12-31-23", {"31.12.2023", "12-31-23"}},
        {"year first with slashes", "2023/12/31", {"2023/12/31"}},
        {"iso date-time with zone", "at 2021-03-04T05:06:07Z.", {"2021-03-04T05:06:07Z"}},
        {"date with seconds", "2023-12-31 10:00:00 sharp", {"2023-12-31 10:00:00"}},
        {"date comma time", "12/31/23, 10:00 PM ok", {"12/31/23, 10:00 PM"}},
        {"day month year", "on 31 December 2023 we", {"31 December 2023"}},
        {"abbreviated month first", "Dec 31, 2023", {"Dec 31, 2023"}},
        {"ordinal", "December 31st, 2023 at 5:30 pm", {"December 31st, 2023 at 5:30 pm"}},
        {"weekday", "Sunday, December 31, 2023", {"Sunday, December 31, 2023"}},
        {"month day without year", "on March 3 we", {"March 3"}},
        {"hour with am", "Dec 31, 2023 5pm", {"Dec 31, 2023 5pm"}},
        {"day of month", "the 1st of May 2024", {"1st of May 2024"}},
        {"lower-case may is a verb", "you may 2 times", {}},
        {"mixed separators are no date", "1/2-2023", {}},
        {"version numbers are no date", "v1.2.3 and 1.2.3.4", {}},
        {"numbers beyond day and month", "45/67/2023 13/13/2023", {}},
        {"glued to letters", "x31/12/2023 31/12/2023y", {}},
        {"plain numbers", "1700000000 and 2023", {}},
        {"no text", "", {}},
        {"after non-ascii text", "Datum: 31.12.2023 – gültig", {"31.12.2023"}},
        {"no expression spans a line break", "day 31/12/2023\n10 am meeting\nDec\n31, 2023", {"31/12/2023"}},
        {"tabs join like spaces", "31/12/2023\t10:00", {"31/12/2023\t10:00"}},
    };
    for (const FinderCase& c : finderCases)
        EXPECT_EQ(text::findDateExpressions(c.text), c.expected) << c.name;
}

// Every date is written by the formatter and must be found and read back where it stands.
TEST(DateConverter, ManyDistinctDatesAreReplacedWhereFound) {
    std::string seconds;
    for (long long day = 0; day < 15000; ++day)
        seconds += "row " + std::to_string(946684800 + day * 86400 + day % 86400) + "\n";
    std::unique_ptr<icu::TimeZone> utc(icu::TimeZone::createTimeZone("UTC"));
    TextActionDateConverter action;
    action.format = "yyyy-MM-dd HH:mm:ss";
    const std::string dates = action.convert(seconds, icu::Locale("en_US"), *utc);
    ASSERT_EQ(dates.substr(0, 24), "row 2000-01-01 00:00:00\n");
    action.dateConverterType = toUnix;
    EXPECT_EQ(action.convert(dates, icu::Locale("en_US"), *utc), seconds);
}

TEST(DateConverter, InternetDateTime) {
    EXPECT_EQ(parseInternetDateTime("1970-01-01T00:00:00Z"), 0.0);
    EXPECT_EQ(parseInternetDateTime("2000-02-29T12:00:00-05:30"), 951845400.0);
    EXPECT_FALSE(parseInternetDateTime("2001-02-29T12:00:00Z"));
    EXPECT_FALSE(parseInternetDateTime("2021-03-04T05:06:07"));
    EXPECT_FALSE(parseInternetDateTime("2021-03-04 05:06:07Z"));
    EXPECT_FALSE(parseInternetDateTime("2021-03-04T24:00:00Z"));
    EXPECT_FALSE(parseInternetDateTime("2021-03-04T05:06:07Zjunk"));
}

// What it reads is in the table above; here, what it must refuse.
TEST(DateConverter, ReadingRequiresTheWholePiece) {
    std::unique_ptr<icu::TimeZone> utc(icu::TimeZone::createTimeZone("UTC"));
    const icu::Locale en("en_US");
    EXPECT_FALSE(readDateSeconds("03/04/21 junk", "", en, *utc));
    EXPECT_FALSE(readDateSeconds("", "", en, *utc));
    EXPECT_FALSE(readDateSeconds("next Tuesday", "", en, *utc));
    EXPECT_FALSE(readDateSeconds("13/13/21", "", en, *utc));
}

TEST(DateConverter, ThePanelsDefaultFormatReadsBackWhatTheFormatterWrites) {
    std::unique_ptr<icu::TimeZone> utc(icu::TimeZone::createTimeZone("UTC"));
    TextActionDateConverter action;
    action.format = defaultDateConverterFormat(icu::Locale("en_US"));
    const std::string written = action.convert("1700000000", icu::Locale("en_US"), *utc);
    action.dateConverterType = toUnix;
    EXPECT_EQ(action.convert("at " + written, icu::Locale("en_US"), *utc), "at 1699999980");
}

TEST(DateConverter, TransformUsesTheUserZone) {
    std::unique_ptr<icu::TimeZone> saved(icu::TimeZone::createDefault());
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone("Asia/Tokyo"));
    TextActionDateConverter action;
    action.format = "HH:mm";
    EXPECT_EQ(action.transform("1700000000"), "07:13");
    icu::TimeZone::setDefault(*saved);
}

} // namespace
