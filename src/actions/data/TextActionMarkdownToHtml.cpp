#include "actions/data/TextActionMarkdownToHtml.h"

#include "actions/data/HtmlPrettyPrinter.h"
#include "actions/data/HtmlTree.h"
#include "actions/data/MarkdownTree.h"
#include "text/Utf.h"

#include <cmark-gfm-core-extensions.h>
#include <cmark-gfm-extension_api.h>
#include <cmark-gfm.h>

#include <cstdlib>
#include <memory>
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

struct ParserDeleter {
    void operator()(cmark_parser* parser) const { cmark_parser_free(parser); }
};
struct NodeDeleter {
    void operator()(cmark_node* node) const { cmark_node_free(node); }
};

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

struct ParsedMarkdown {
    std::unique_ptr<cmark_parser, ParserDeleter> parser;
    std::unique_ptr<cmark_node, NodeDeleter> document;
};

// Raw HTML is kept: the result is a document for the user to use, and the HTML parser
// that follows re-serialises whatever markup it holds.
constexpr int renderOptions = CMARK_OPT_DEFAULT | CMARK_OPT_UNSAFE;

ParsedMarkdown parse(std::string_view markdown) {
    static std::once_flag registered;
    std::call_once(registered, [] { cmark_gfm_core_extensions_ensure_registered(); });

    ParsedMarkdown parsed;
    parsed.parser.reset(cmark_parser_new(renderOptions));
    if (!parsed.parser) return parsed;
    for (const char* name : {"table", "strikethrough", "autolink", "tasklist"}) {
        if (cmark_syntax_extension* extension = cmark_find_syntax_extension(name))
            cmark_parser_attach_syntax_extension(parsed.parser.get(), extension);
    }
    cmark_parser_feed(parsed.parser.get(), markdown.data(), markdown.size());
    parsed.document.reset(cmark_parser_finish(parsed.parser.get()));
    return parsed;
}

std::string render(const ParsedMarkdown& parsed) {
    if (!parsed.parser || !parsed.document) return {};
    char* html = cmark_render_html(parsed.document.get(), renderOptions,
                                   cmark_parser_get_syntax_extensions(parsed.parser.get()));
    if (!html) return {};
    std::string fragment(html);
    std::free(html);
    return fragment;
}

std::string pageOf(const std::string& fragment) {
    try {
        if (auto document = html::prettyDocument(fragment)) return std::move(*document);
    } catch (const std::exception&) {
        // the bare fragment is still a usable result
    }
    return fragment;
}

// The HTML parser turns CR and CR LF into LF, NUL into nothing or U+FFFD and broken UTF-8
// into U+FFFD, each in its own way; the page is built directly only from text it takes as it is.
bool parserKeepsText(std::string_view markdown) {
    return markdown.find('\r') == std::string_view::npos && markdown.find('\0') == std::string_view::npos &&
           text::isValidUtf8(markdown);
}

// Writing the tree the HTML parser would build from the rendered fragment skips rendering
// and parsing it.
std::optional<std::string> writeDirectly(std::string_view markdown, const ParsedMarkdown& parsed) {
    if (!parsed.document || !parserKeepsText(markdown)) return std::nullopt;
    html::Tree tree;
    tree.reserve(markdown.size() + markdown.size() / 8);
    if (!buildMarkdownTree(parsed.document.get(), tree) || tree.deepest() > html::maxNesting) return std::nullopt;
    return html::prettyTree(tree);
}

} // namespace

std::string markdownFragment(std::string_view markdown) {
    return render(parse(markdown));
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
    return writeDirectly(markdown, parse(markdown));
}

std::string TextActionMarkdownToHtml::transform(std::string_view text) const {
    const std::string_view markdown = withoutMetadata(text);
    std::string fragment;
    try {
        const ParsedMarkdown parsed = parse(markdown);
        if (auto page = writeDirectly(markdown, parsed)) return std::move(*page);
        fragment = render(parsed);
    } catch (const std::exception&) {
        return markdownPageByReparsing(markdown);
    }
    return pageOf(fragment);
}

LEXORRA_ACTION_FACTORY(TextActionMarkdownToHtml)

} // namespace lexorra
