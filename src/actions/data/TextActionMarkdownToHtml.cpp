#include "actions/data/TextActionMarkdownToHtml.h"

#include "actions/data/HtmlPrettyPrinter.h"

#include <cmark-gfm-core-extensions.h>
#include <cmark-gfm-extension_api.h>
#include <cmark-gfm.h>

#include <cstdlib>
#include <memory>
#include <mutex>

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

std::string markdownFragment(std::string_view markdown) {
    static std::once_flag registered;
    std::call_once(registered, [] { cmark_gfm_core_extensions_ensure_registered(); });

    // Raw HTML is kept: the result is a document for the user to use, and the HTML parser
    // that follows re-serialises whatever markup it holds.
    const int options = CMARK_OPT_DEFAULT | CMARK_OPT_UNSAFE;
    std::unique_ptr<cmark_parser, ParserDeleter> parser(cmark_parser_new(options));
    if (!parser) return {};
    for (const char* name : {"table", "strikethrough", "autolink", "tasklist"}) {
        if (cmark_syntax_extension* extension = cmark_find_syntax_extension(name))
            cmark_parser_attach_syntax_extension(parser.get(), extension);
    }
    cmark_parser_feed(parser.get(), markdown.data(), markdown.size());
    std::unique_ptr<cmark_node, NodeDeleter> document(cmark_parser_finish(parser.get()));
    if (!document) return {};
    char* html = cmark_render_html(document.get(), options, cmark_parser_get_syntax_extensions(parser.get()));
    if (!html) return {};
    std::string fragment(html);
    std::free(html);
    return fragment;
}

std::string TextActionMarkdownToHtml::transform(std::string_view text) const {
    std::string fragment;
    try {
        fragment = markdownFragment(withoutMetadata(text));
    } catch (const std::exception&) {
        return {};
    }
    try {
        if (auto document = html::prettyDocument(fragment)) return std::move(*document);
    } catch (const std::exception&) {
        // the bare fragment is still a usable result
    }
    return fragment;
}

LEXORRA_ACTION_FACTORY(TextActionMarkdownToHtml)

} // namespace lexorra
