#pragma once

#include <unicode/unistr.h>

#include <string>
#include <string_view>

namespace lexorra::text {

// UTF-8 <-> ICU UTF-16. Invalid UTF-8 sequences become U+FFFD.
icu::UnicodeString toUnicode(std::string_view utf8);
std::string toUtf8(const icu::UnicodeString& s);
std::string toUtf8(const icu::UnicodeString& s, int32_t start, int32_t length);

// Appends one code point as UTF-8.
void appendCodePoint(std::string& out, char32_t c);

// Decodes the code point at offset i (advancing i); U+FFFD for an invalid sequence.
char32_t nextCodePoint(std::string_view s, size_t& i);

bool isAscii(std::string_view s);
bool isValidUtf8(std::string_view s);

// At most `bytes` of the text, never ending inside a UTF-8 sequence.
//   utf8Prefix("a\u00e9", 2) == "a"
std::string_view utf8Prefix(std::string_view s, size_t bytes);

// Number of UTF-16 code units the UTF-8 text would take.
size_t utf16Length(std::string_view s);

} // namespace lexorra::text
