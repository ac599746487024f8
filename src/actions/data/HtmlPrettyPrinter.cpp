#include "actions/data/HtmlPrettyPrinter.h"

#include "text/Utf.h"

#include <gumbo.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <memory>
#include <unordered_set>
#include <vector>

namespace lexorra::html {

namespace {

using TagSet = std::unordered_set<std::string_view>;

// The tag tables of the jsoup family of serialisers: they decide which elements start lines.
const TagSet& blockTags() {
    static const TagSet tags = {
        "html", "head", "body", "frameset", "script", "noscript", "style", "meta", "link", "title", "frame",
        "noframes", "section", "nav", "aside", "hgroup", "header", "footer", "p", "h1", "h2", "h3", "h4", "h5",
        "h6", "ul", "ol", "pre", "div", "blockquote", "hr", "address", "figure", "figcaption", "form",
        "fieldset", "ins", "del", "dl", "dt", "dd", "li", "table", "caption", "thead", "tfoot", "tbody",
        "colgroup", "col", "tr", "th", "td", "video", "audio", "canvas", "details", "menu", "plaintext",
        "template", "article", "main", "svg", "math", "center"};
    return tags;
}

const TagSet& inlineTags() {
    static const TagSet tags = {
        "object", "base", "font", "tt", "i", "b", "u", "big", "small", "em", "strong", "dfn", "code", "samp",
        "kbd", "var", "cite", "abbr", "time", "acronym", "mark", "ruby", "rt", "rp", "a", "img", "br", "wbr",
        "map", "q", "sub", "sup", "bdo", "iframe", "embed", "span", "input", "select", "textarea", "label",
        "button", "optgroup", "option", "legend", "datalist", "keygen", "output", "progress", "meter", "area",
        "param", "source", "track", "summary", "command", "device", "basefont", "bgsound", "menuitem", "data",
        "bdi", "s"};
    return tags;
}

// Block elements whose content still stays on their own line.
const TagSet& formatAsInlineTags() {
    static const TagSet tags = {"title", "a", "p", "h1", "h2", "h3", "h4", "h5", "h6", "pre", "address",
                                "li", "th", "td", "script", "style", "ins", "del", "s"};
    return tags;
}

const TagSet& emptyTags() {
    static const TagSet tags = {"meta", "link", "base", "frame", "img", "br", "wbr", "embed", "hr", "input",
                                "keygen", "col", "command", "device", "area", "basefont", "bgsound", "menuitem",
                                "param", "source", "track"};
    return tags;
}

const TagSet& booleanAttributes() {
    static const TagSet names = {
        "allowfullscreen", "async", "autofocus", "checked", "compact", "declare", "default", "defer", "disabled",
        "formnovalidate", "hidden", "inert", "ismap", "itemscope", "multiple", "muted", "nohref", "noresize",
        "noshade", "novalidate", "nowrap", "open", "readonly", "required", "reversed", "seamless", "selected",
        "sortable", "truespeed", "typemustmatch"};
    return names;
}

struct TagInfo {
    bool isBlock = false;
    bool formatAsBlock = true; // unknown tags format as blocks
    bool empty = false;
    bool preserveWhitespace = false;
    bool data = false; // content written raw (script, style)
};

TagInfo tagInfo(std::string_view name) {
    TagInfo info;
    if (blockTags().contains(name)) {
        info.isBlock = true;
        info.formatAsBlock = !formatAsInlineTags().contains(name);
    } else if (inlineTags().contains(name)) {
        info.formatAsBlock = false;
    }
    info.empty = emptyTags().contains(name);
    info.preserveWhitespace = name == "pre" || name == "plaintext" || name == "title" || name == "textarea";
    info.data = name == "script" || name == "style";
    return info;
}

bool isHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

bool isBlank(std::string_view s) {
    for (char c : s)
        if (!isHtmlSpace(c)) return false;
    return true;
}

void lowerAscii(std::string& s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

std::string elementName(const GumboElement& element) {
    if (element.tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(element.tag);
    // Unknown tags keep the name written in the source: "<my-tag attr>" gives "my-tag".
    std::string_view source(element.original_tag.data ? element.original_tag.data : "",
                            element.original_tag.length);
    size_t at = 0;
    while (at < source.size() && (source[at] == '<' || source[at] == '/')) ++at;
    size_t end = at;
    while (end < source.size() && !isHtmlSpace(source[end]) && source[end] != '/' && source[end] != '>') ++end;
    std::string name(source.substr(at, end - at));
    lowerAscii(name);
    return name.empty() ? std::string("unknown") : name;
}

std::string_view nodeText(const GumboNode* node) {
    const char* text = node->v.text.text;
    return text ? std::string_view(text, std::strlen(text)) : std::string_view();
}

bool isTextual(const GumboNode* node) {
    return node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE;
}

bool isElement(const GumboNode* node) {
    return node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE;
}

void appendHex(std::string& out, char32_t c) {
    static constexpr char digits[] = "0123456789abcdef";
    std::array<char, 8> buffer{};
    size_t n = 0;
    do {
        buffer[n++] = digits[c & 0xF];
        c >>= 4;
    } while (c != 0);
    while (n > 0) out += buffer[--n];
}

// Entity escaping as the jsoup family does it in its base mode: &, <, > and no-break space
// in text; & and " in attribute values; other control characters as hexadecimal references.
// With normaliseWhite every run of white space becomes one space.
void escape(std::string& out, std::string_view text, bool inAttribute, bool normaliseWhite) {
    bool lastWasWhite = false;
    size_t i = 0;
    while (i < text.size()) {
        const size_t start = i;
        const char32_t c = text::nextCodePoint(text, i);
        if (normaliseWhite && c < 0x80 && isHtmlSpace(static_cast<char>(c))) {
            if (!lastWasWhite) out += ' ';
            lastWasWhite = true;
            continue;
        }
        lastWasWhite = false;
        switch (c) {
        case '&': out += "&amp;"; break;
        case 0xA0: out += "&nbsp;"; break;
        case '<':
            if (inAttribute) out += '<';
            else out += "&lt;";
            break;
        case '>':
            if (inAttribute) out += '>';
            else out += "&gt;";
            break;
        case '"':
            if (inAttribute) out += "&quot;";
            else out += '"';
            break;
        case '\t':
        case '\n':
        case '\r': out += static_cast<char>(c); break;
        default:
            if (c < 0x20) {
                out += "&#x";
                appendHex(out, c);
                out += ';';
            } else if (c == 0xFFFD) {
                text::appendCodePoint(out, c);
            } else {
                out.append(text.substr(start, i - start));
            }
        }
    }
}

class Printer {
public:
    std::string print(const GumboNode* document) {
        struct Frame {
            const GumboNode* node;
            TagInfo info;
            std::string name;
            std::vector<const GumboNode*> kids;
            size_t next = 0;
            int depth = 0;
            bool preserve = false;
        };
        std::vector<Frame> stack;
        Frame root{document, TagInfo{}, "#root", {}, 0, -1, false};
        root.kids = keptChildren(document, root.info, false);
        stack.push_back(std::move(root));

        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.next == frame.kids.size()) {
                if (frame.depth >= 0) elementTail(frame.name, frame.info, frame.kids.empty(), frame.depth);
                stack.pop_back();
                continue;
            }
            const size_t index = frame.next++;
            const GumboNode* node = frame.kids[index];
            const int depth = frame.depth + 1;
            if (isElement(node)) {
                Frame child{node, {}, elementName(node->v.element), {}, 0, depth, false};
                child.info = tagInfo(child.name);
                child.preserve = frame.preserve || child.info.preserveWhitespace;
                child.kids = keptChildren(node, child.info, child.preserve);
                elementHead(node->v.element, child.name, child.info, frame.info, depth);
                if (child.info.empty && child.kids.empty()) continue; // void element: no end tag
                stack.push_back(std::move(child));
            } else if (isTextual(node)) {
                const std::string_view value = nodeText(node);
                if (frame.info.data) {
                    m_out.append(value);
                    continue;
                }
                if (index == 0 && frame.info.formatAsBlock && !isBlank(value)) indent(depth);
                if (frame.preserve) {
                    escape(m_out, value, false, false);
                    continue;
                }
                // White space that only separated the text from a block in the source
                // would end or start a line; the block's line break replaces it.
                std::string_view trimmed = value;
                if (index + 1 < frame.kids.size() && isBlockElement(frame.kids[index + 1]))
                    while (!trimmed.empty() && isHtmlSpace(trimmed.back())) trimmed.remove_suffix(1);
                if (index > 0 && isBlockElement(frame.kids[index - 1]))
                    while (!trimmed.empty() && isHtmlSpace(trimmed.front())) trimmed.remove_prefix(1);
                escape(m_out, trimmed, false, true);
            } else if (node->type == GUMBO_NODE_COMMENT) {
                indent(depth);
                m_out += "<!--";
                m_out.append(nodeText(node));
                m_out += "-->";
            } else if (node->type == GUMBO_NODE_CDATA) {
                m_out += "<![CDATA[";
                m_out.append(nodeText(node));
                m_out += "]]>";
            }
        }
        trim();
        return std::move(m_out);
    }

private:
    std::string m_out;

    // Indentation stops growing at 30 columns, as in later jsoup releases: deep nesting
    // (a long run of ">" in Markdown) would otherwise make the output quadratic in size.
    void indent(int depth) {
        m_out += '\n';
        m_out.append(static_cast<size_t>(std::min(depth, 30)), ' ');
    }

    // The parsed tree keeps the white space that separated blocks in the source; written
    // back it would only leave stray spaces at line ends, so blank text next to a block
    // element, or at either end of a block, is left out.
    static std::vector<const GumboNode*> keptChildren(const GumboNode* parent, const TagInfo& info, bool preserve) {
        const GumboVector& children =
            parent->type == GUMBO_NODE_DOCUMENT ? parent->v.document.children : parent->v.element.children;
        std::vector<const GumboNode*> kept;
        kept.reserve(children.length);
        for (unsigned i = 0; i < children.length; ++i) {
            const auto* node = static_cast<const GumboNode*>(children.data[i]);
            if (isTextual(node) && !preserve && !info.data && isBlank(nodeText(node))) {
                const bool atEnd = i == 0 || i + 1 == children.length;
                if (parent->type == GUMBO_NODE_DOCUMENT || (atEnd && info.formatAsBlock)) continue;
                if (i > 0 && isBlockElement(static_cast<const GumboNode*>(children.data[i - 1]))) continue;
                if (i + 1 < children.length && isBlockElement(static_cast<const GumboNode*>(children.data[i + 1])))
                    continue;
            }
            kept.push_back(node);
        }
        return kept;
    }

    // ins and del are listed with the blocks but sit inside running text in practice.
    static bool isBlockElement(const GumboNode* node) {
        if (!isElement(node)) return false;
        const std::string name = elementName(node->v.element);
        return name != "ins" && name != "del" && blockTags().contains(name);
    }

    void elementHead(const GumboElement& element, const std::string& name, const TagInfo& info,
                     const TagInfo& parent, int depth) {
        if ((info.formatAsBlock || parent.formatAsBlock) && !m_out.empty()) indent(depth);
        m_out += '<';
        m_out += name;
        for (unsigned i = 0; i < element.attributes.length; ++i) {
            const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
            std::string key = attribute->name ? attribute->name : "";
            lowerAscii(key);
            const std::string_view value = attribute->value ? attribute->value : "";
            m_out += ' ';
            m_out += key;
            const bool collapse = booleanAttributes().contains(key) && (value.empty() || equalsIgnoringCase(value, key));
            if (!collapse) {
                m_out += "=\"";
                escape(m_out, value, true, false);
                m_out += '"';
            }
        }
        m_out += '>';
    }

    void elementTail(const std::string& name, const TagInfo& info, bool childless, int depth) {
        if (info.empty && childless) return;
        if (!childless && info.formatAsBlock) indent(depth);
        m_out += "</";
        m_out += name;
        m_out += '>';
    }

    static bool equalsIgnoringCase(std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i) {
            char x = a[i], y = b[i];
            if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
            if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
            if (x != y) return false;
        }
        return true;
    }

    void trim() {
        size_t begin = 0;
        while (begin < m_out.size() && static_cast<unsigned char>(m_out[begin]) <= ' ') ++begin;
        size_t end = m_out.size();
        while (end > begin && static_cast<unsigned char>(m_out[end - 1]) <= ' ') --end;
        m_out = m_out.substr(begin, end - begin);
    }
};

struct OutputDeleter {
    void operator()(GumboOutput* output) const { gumbo_destroy_output(&kGumboDefaultOptions, output); }
};

// The HTML parser looks through the whole stack of open elements for many start tags, so
// deep nesting (a long run of ">" in Markdown) takes quadratic time. Past this depth the
// fragment is not parsed at all.
constexpr size_t maxNesting = 10'000;

// An upper bound of how deep the fragment's elements nest: every start tag that is not
// self-closed opens a level, every end tag closes one. Void elements and tags the parser
// closes by itself make it overcount, which only matters far beyond real documents.
size_t nestingBound(std::string_view html) {
    static const std::unordered_set<std::string> voidElements = {
        "area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "track", "wbr"};
    size_t depth = 0;
    size_t deepest = 0;
    for (size_t at = html.find('<'); at != std::string_view::npos; at = html.find('<', at + 1)) {
        if (at + 1 >= html.size()) break;
        const char next = html[at + 1];
        if (next == '/') {
            if (depth > 0) --depth;
        } else if ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z')) {
            const size_t close = html.find('>', at);
            if (close == std::string_view::npos) break;
            size_t nameEnd = at + 1;
            while (nameEnd < close && std::isalnum(static_cast<unsigned char>(html[nameEnd]))) ++nameEnd;
            std::string name(html.substr(at + 1, nameEnd - at - 1));
            lowerAscii(name);
            if (html[close - 1] != '/' && !voidElements.contains(name)) deepest = std::max(deepest, ++depth);
            at = close;
        }
    }
    return deepest;
}

} // namespace

std::optional<std::string> prettyDocument(std::string_view fragment) {
    if (nestingBound(fragment) > maxNesting) return std::nullopt;
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0; // the error list is never read; recording it costs time on large inputs
    std::unique_ptr<GumboOutput, OutputDeleter> output(
        gumbo_parse_with_options(&options, fragment.data(), fragment.size()));
    if (!output || !output->document) return std::nullopt;
    return Printer().print(output->document);
}

} // namespace lexorra::html
