#pragma once

#include <string_view>
#include <vector>

namespace lexorra::text {

// Locates stretches of a text that look like calendar dates, each with an optional time:
// numeric dates ("31/12/2023", "12-31-23", "31.12.2023", "2023/12/31"), ISO 8601 dates and
// date-times ("2021-03-04T05:06:07Z"), and English month-name forms ("31 December 2023",
// "Dec 31, 2023", "Sunday, December 31st, 2023 at 5:30 PM"). It only locates: reading the
// date is up to the caller. Stretches are views into the text, in order, not overlapping.
//   findDateExpressions("due 31/12/2023, paid 2024-01-02") == {"31/12/2023", "2024-01-02"}
std::vector<std::string_view> findDateExpressions(std::string_view text);

} // namespace lexorra::text
