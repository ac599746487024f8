#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lexorra::data {

// libxml2 as the data actions use it: never the network, never external entities or DTDs,
// no messages on stderr, the text always read as UTF-8 whatever its declaration says.

// libxml2 checks each attribute of an element against all the ones before it, so a start tag
// with a huge number of attributes takes quadratic time. Documents with a start tag holding more
// than this many are refused (treated as not well-formed) before the library sees them.
constexpr size_t xmlAttributeLimit = 10'000;
// True when some start tag holds more than xmlAttributeLimit attributes. One linear pass that
// skips comments, CDATA sections and processing instructions; it may overcount, never undercount.
bool hasTooManyAttributes(std::string_view xml);

// True when the text is a well-formed XML document.
bool isWellFormedXml(std::string_view xml);

// The document re-serialised with one element per line, children indented, without the
// XML declaration; nullopt when the text is not well-formed. Whitespace-only text between
// elements is dropped first so that indented input is re-indented.
//
//   data::prettyPrintXml("<a><b>x</b></a>")  // "<a>\n  <b>x</b>\n</a>\n"
std::optional<std::string> prettyPrintXml(std::string_view xml);

// The text itself when it is valid UTF-8, else a copy in `repaired` with U+FFFD in place of
// each invalid sequence: text that reaches an action is text, whatever bytes carried it.
std::string_view validUtf8(std::string_view text, std::string& repaired);

// Removes every occurrence of `what`.
std::string removeAll(std::string_view text, std::string_view what);
// Replaces every occurrence of `what` by `with`.
std::string replaceAll(std::string_view text, std::string_view what, std::string_view with);

// The declared encodings the converters drop (the text is UTF-8 by the time it gets here) and
// typographic double quotes made plain, so that pasted prose with curly attribute quotes parses.
// Without a copy when nothing changes: the text itself, else `changed` holding the result.
std::string_view normaliseDeclarationAndQuotes(std::string_view text, std::string& changed);

} // namespace lexorra::data
