#pragma once

#include "actions/data/HtmlTree.h"

struct cmark_node;

namespace lexorra {

// Builds the document an HTML5 parser makes of the HTML that cmark-gfm renders for a parsed
// Markdown document (raw HTML allowed; tables, strikethrough, autolinks and task lists), without
// rendering or parsing that HTML. False, with the tree unusable, where the result could differ:
// raw HTML, which the parser may rearrange, and a link inside a link, which it splits.
//
//   html::Tree tree;
//   if (buildMarkdownTree(document, tree)) page = html::prettyTree(tree);
bool buildMarkdownTree(cmark_node* document, html::Tree& tree);

} // namespace lexorra
