#include "actions/data/TextActionMarkdownToHtml.h"

#include "actions/data/CmarkArena.h"
#include "actions/data/HtmlPrettyPrinter.h"
#include "actions/data/HtmlTree.h"
#include "actions/data/MarkdownTree.h"
#include "text/Utf.h"

#include <cmark-gfm-core-extensions.h>
#include <cmark-gfm-extension_api.h>
#include <cmark-gfm.h>

#include <mutex>
#include <optional>

namespace lexorra {

namespace {

// A line of exactly three hyphens (a CR before the line feed allowed); `end` receives the
// offset after the line and its line break.
bool isFenceLine(std::string_view text, size_t start, size_t& end) {
    if (text.compare(start, 3, "---") != 0) return false;
    size_t at = start + 3;
    if (at < text.size() && text[at] == '\r') ++at;
    if (at == text.size()) {
        end = at;
        return true;
    }
    if (text[at] != '\n') return false;
    end = at + 1;
    return true;
}

} // namespace

std::string_view withoutMetadata(std::string_view markdown) {
    size_t bodyStart = 0;
    if (!isFenceLine(markdown, 0, bodyStart) || bodyStart == markdown.size()) return markdown;
    for (size_t line = bodyStart; line < markdown.size();) {
        size_t end = 0;
        if (isFenceLine(markdown, line, end)) return markdown.substr(end);
        const size_t feed = markdown.find('\n', line);
        if (feed == std::string_view::npos) break;
        line = feed + 1;
    }
    return markdown; // no closing line: not a metadata block
}

namespace {

// Raw HTML is kept: the result is a document for the user to use, and the HTML parser
// that follows re-serialises whatever markup it holds.
constexpr int renderOptions = CMARK_OPT_DEFAULT | CMARK_OPT_UNSAFE;

// The parser and the document live in the arena and go with it.
class ParsedMarkdown {
public:
    explicit ParsedMarkdown(std::string_view markdown) : arena(markdown.size()) {
        static std::once_flag registered;
        std::call_once(registered, [] { cmark_gfm_core_extensions_ensure_registered(); });

        parser = cmark_parser_new_with_mem(renderOptions, CmarkArena::allocator());
        if (!parser) return;
        for (const char* name : {"table", "strikethrough", "autolink", "tasklist"}) {
            if (cmark_syntax_extension* extension = cmark_find_syntax_extension(name))
                cmark_parser_attach_syntax_extension(parser, extension);
        }
        cmark_parser_feed(parser, markdown.data(), markdown.size());
        document = cmark_parser_finish(parser);
    }

    std::string render() const {
        if (!parser || !document) return {};
        const char* html = cmark_render_html(document, renderOptions, cmark_parser_get_syntax_extensions(parser));
        return html ? std::string(html) : std::string();
    }

    CmarkArena arena;
    cmark_parser* parser = nullptr;
    cmark_node* document = nullptr;
};

std::string pageOf(const std::string& fragment) {
    try {
        if (auto document = html::prettyDocument(fragment)) return std::move(*document);
    } catch (const std::exception&) {
        // the bare fragment is still a usable result
    }
    return fragment;
}

// The HTML parser turns NUL into nothing or U+FFFD and broken UTF-8 into U+FFFD, each in its
// own way; the page is built directly only from text it reads as it is.
bool parserKeepsText(std::string_view markdown) {
    return markdown.find('\0') == std::string_view::npos && text::isValidUtf8(markdown);
}

// Writing the tree the HTML parser would build from the rendered fragment skips rendering
// and parsing it.
std::optional<std::string> writeDirectly(std::string_view markdown, const ParsedMarkdown& parsed) {
    if (!parsed.document || !parserKeepsText(markdown)) return std::nullopt;
    html::Tree tree;
    tree.reserve(markdown.size() + markdown.size() / 8);
    if (!buildMarkdownTree(parsed.document, tree) || tree.deepest() > html::maxNesting) return std::nullopt;
    return html::prettyTree(tree);
}

} // namespace

std::string markdownFragment(std::string_view markdown) {
    return ParsedMarkdown(markdown).render();
}

std::string markdownPageByReparsing(std::string_view markdown) {
    std::string fragment;
    try {
        fragment = markdownFragment(markdown);
    } catch (const std::exception&) {
        return {};
    }
    return pageOf(fragment);
}

std::optional<std::string> markdownPageDirectly(std::string_view markdown) {
    const ParsedMarkdown parsed(markdown);
    return writeDirectly(markdown, parsed);
}

std::string TextActionMarkdownToHtml::transform(std::string_view text) const {
    const std::string_view markdown = withoutMetadata(text);
    std::string fragment;
    try {
        const ParsedMarkdown parsed(markdown);
        if (auto page = writeDirectly(markdown, parsed)) return std::move(*page);
        fragment = parsed.render();
    } catch (const std::exception&) {
        return markdownPageByReparsing(markdown);
    }
    return pageOf(fragment);
}

LEXORRA_ACTION_FACTORY(TextActionMarkdownToHtml)

} // namespace lexorra
