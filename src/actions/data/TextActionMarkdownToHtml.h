#pragma once

#include "core/TextAction.h"

#include <optional>
#include <string>
#include <string_view>

namespace lexorra {

// Markdown (with tables, strikethrough, autolinks and task lists) to a complete, indented
// HTML document. A metadata block at the very top, between two "---" lines, is not rendered.
class TextActionMarkdownToHtml : public TextAction {
public:
    TextActionMarkdownToHtml() : TextAction(TextActionType::markdownToHtml) {}

    std::string transform(std::string_view text) const override;
};

// The Markdown without a leading metadata block: "---\ntitle: x\n---\n# A" gives "# A".
std::string_view withoutMetadata(std::string_view markdown);

// The HTML fragment cmark-gfm renders for the Markdown, raw HTML kept.
std::string markdownFragment(std::string_view markdown);

// The page by way of the fragment: parsed as an HTML document and written back, or the bare
// fragment past the parser's nesting limit.
std::string markdownPageByReparsing(std::string_view markdown);

// The same page written straight from the Markdown's syntax tree, which is what the action
// does; nullopt where only the round trip is sure to give it (raw HTML, a link in a link, NUL
// or broken UTF-8 in the input, nesting past the parser's limit).
std::optional<std::string> markdownPageDirectly(std::string_view markdown);

} // namespace lexorra
