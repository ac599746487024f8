#pragma once

#include <cstddef>
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
// nullopt when the parser gives no document, or when the fragment's elements nest deeper than
// maxNesting.
std::optional<std::string> prettyDocument(std::string_view fragment);

// The HTML parser looks through the whole stack of open elements for many start tags, so
// deep nesting (a long run of ">" in Markdown) takes quadratic time. Past this depth a
// fragment is not parsed at all.
inline constexpr std::size_t maxNesting = 10'000;

class Tree;

// The same writing for a document built in code: what prettyDocument gives for markup that
// parses into this tree.
std::string prettyTree(const Tree& tree);

} // namespace lexorra::html
