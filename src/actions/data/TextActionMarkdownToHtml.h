#pragma once

#include "core/TextAction.h"

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

} // namespace lexorra
