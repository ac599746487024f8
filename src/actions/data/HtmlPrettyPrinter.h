#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lexorra::html {

// Parses an HTML fragment as an HTML5 document (the fragment lands in <body>) and writes the
// document back jsoup-style: block elements on their own lines indented one space per level,
// inline elements and text kept on the line of their block, an empty element closed on the
// line it opens, text and attribute values entity-escaped.
//
//   prettyDocument("<h1>Hi</h1>") ==
//       "<html>\n <head></head>\n <body>\n  <h1>Hi</h1>\n </body>\n</html>"
//
// nullopt when the parser gives no document.
std::optional<std::string> prettyDocument(std::string_view fragment);

} // namespace lexorra::html
