#pragma once

#include <string>
#include <string_view>

namespace lexorra::text {

// Full Unicode case mappings without a locale, fast on large texts: ASCII runs are mapped
// in bulk and the two-byte UTF-8 range through a table; the rest goes through ICU.
// Invalid UTF-8 becomes U+FFFD, as everywhere else in the engine.
//
//   upper("straße") == "STRASSE";  lower("ΟΔΟΣ") == "οδος" (final sigma)
std::string upper(std::string_view s);
std::string lower(std::string_view s);

// Word capitalisation: a word is a run delimited by white space or line terminators; its
// first character takes its title-case form and the rest is lower-cased.
//   capitalizeWords("hELLO wORLD-wide") == "Hello World-wide"
std::string capitalizeWords(std::string_view s);
// The same rule for ASCII text, appended to out: for callers that capitalise line after line
// into a buffer of their own.
void appendCapitalizedAscii(std::string& out, std::string_view ascii);

// The first user-perceived character upper- (lower-) cased, the rest unchanged.
//   initialUpper("hELLO") == "HELLO";  initialLower("Hello") == "hello"
std::string initialUpper(std::string_view s);
std::string initialLower(std::string_view s);

} // namespace lexorra::text
