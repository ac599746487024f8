#include "actions/data/HtmlPrettyPrinter.h"

#include "actions/data/HtmlTree.h"
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
        "html",   "head",       "body",     "frameset", "script",  "noscript",   "style",  "meta",
        "link",   "title",      "frame",    "noframes", "section", "nav",        "aside",  "hgroup",
        "header", "footer",     "p",        "h1",       "h2",      "h3",         "h4",     "h5",
        "h6",     "ul",         "ol",       "pre",      "div",     "blockquote", "hr",     "address",
        "figure", "figcaption", "form",     "fieldset", "ins",     "del",        "dl",     "dt",
        "dd",     "li",         "table",    "caption",  "thead",   "tfoot",      "tbody",  "colgroup",
        "col",    "tr",         "th",       "td",       "video",   "audio",      "canvas", "details",
        "menu",   "plaintext",  "template", "article",  "main",    "svg",        "math",   "center"};
    return tags;
}

const TagSet& inlineTags() {
    static const TagSet tags = {
        "object",  "base",    "font",     "tt",      "i",        "b",        "u",      "big",    "small",
        "em",      "strong",  "dfn",      "code",    "samp",     "kbd",      "var",    "cite",   "abbr",
        "time",    "acronym", "mark",     "ruby",    "rt",       "rp",       "a",      "img",    "br",
        "wbr",     "map",     "q",        "sub",     "sup",      "bdo",      "iframe", "embed",  "span",
        "input",   "select",  "textarea", "label",   "button",   "optgroup", "option", "legend", "datalist",
        "keygen",  "output",  "progress", "meter",   "area",     "param",    "source", "track",  "summary",
        "command", "device",  "basefont", "bgsound", "menuitem", "data",     "bdi",    "s"};
    return tags;
}

// Block elements whose content still stays on their own line.
const TagSet& formatAsInlineTags() {
    static const TagSet tags = {"title",   "a",  "p",  "h1", "h2",     "h3",    "h4",  "h5",  "h6", "pre",
                                "address", "li", "th", "td", "script", "style", "ins", "del", "s"};
    return tags;
}

const TagSet& emptyTags() {
    static const TagSet tags = {"meta",  "link",     "base",    "frame",    "img",   "br",      "wbr",
                                "embed", "hr",       "input",   "keygen",   "col",   "command", "device",
                                "area",  "basefont", "bgsound", "menuitem", "param", "source",  "track"};
    return tags;
}

const TagSet& booleanAttributes() {
    static const TagSet names = {"allowfullscreen", "async",    "autofocus", "checked",   "compact",
                                 "declare",         "default",  "defer",     "disabled",  "formnovalidate",
                                 "hidden",          "inert",    "ismap",     "itemscope", "multiple",
                                 "muted",           "nohref",   "noresize",  "noshade",   "novalidate",
                                 "nowrap",          "open",     "readonly",  "required",  "reversed",
                                 "seamless",        "selected", "sortable",  "truespeed", "typemustmatch"};
    return names;
}

struct TagInfo {
    bool isBlock = false;
    bool formatAsBlock = true; // unknown tags format as blocks
    bool empty = false;
    bool preserveWhitespace = false;
    bool data = false; // content written raw (script, style)
    // ins and del are listed with the blocks but sit inside running text in practice.
    bool breaksText = false;
};

TagInfo tagInfo(std::string_view name) {
    TagInfo info;
    if (blockTags().contains(name)) {
        info.isBlock = true;
        info.formatAsBlock = !formatAsInlineTags().contains(name);
        info.breaksText = name != "ins" && name != "del";
    } else if (inlineTags().contains(name)) {
        info.formatAsBlock = false;
    }
    info.empty = emptyTags().contains(name);
    info.preserveWhitespace = name == "pre" || name == "plaintext" || name == "title" || name == "textarea";
    info.data = name == "script" || name == "style";
    return info;
}

bool isHtmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool isBlank(std::string_view s) {
    for (char c : s)
        if (!isHtmlSpace(c)) return false;
    return true;
}

void lowerAscii(std::string& s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

void appendHex(std::string& out, char32_t c) {
    static constexpr char digits[] = "0123456789abcdef";
    std::array<char, 8> buffer{};
    size_t n = 0;
    do {
        buffer[n++] = digits[c & 0xF];
        c >>= 4;
    } while (c != 0);
    while (n > 0)
        out += buffer[--n];
}

// Printable ASCII that no escaping touches; the space is decided by the caller.
constexpr std::array<bool, 256> plainBytes = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x21; c < 0x80; ++c)
        plain[c] = true;
    plain['&'] = plain['<'] = plain['>'] = plain['"'] = false;
    return plain;
}();

// Entity escaping as the jsoup family does it in its base mode: &, <, > and no-break space
// in text; & and " in attribute values; other control characters as hexadecimal references.
// With normaliseWhite every run of white space becomes one space.
void escape(std::string& out, std::string_view text, bool inAttribute, bool normaliseWhite) {
    bool lastWasWhite = false;
    const size_t size = text.size();
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    size_t i = 0;
    while (i < size) {
        // Runs of plain ASCII are copied whole; a single space between two plain characters
        // is part of the run even when white space is collapsed.
        if (plainBytes[byte(i)] || (byte(i) == ' ' && !normaliseWhite)) {
            const size_t start = i++;
            while (i < size) {
                if (plainBytes[byte(i)]) {
                    ++i;
                } else if (byte(i) != ' ') {
                    break;
                } else if (!normaliseWhite) {
                    ++i;
                } else if (i + 1 < size && plainBytes[byte(i + 1)]) {
                    i += 2;
                } else {
                    break;
                }
            }
            out.append(text.data() + start, i - start);
            lastWasWhite = false;
            continue;
        }
        const size_t start = i;
        const char32_t c = text::nextCodePoint(text, i);
        if (normaliseWhite && c < 0x80 && isHtmlSpace(static_cast<char>(c))) {
            if (!lastWasWhite) out += ' ';
            lastWasWhite = true;
            continue;
        }
        lastWasWhite = false;
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case 0xA0:
            out += "&nbsp;";
            break;
        case '<':
            if (inAttribute)
                out += '<';
            else
                out += "&lt;";
            break;
        case '>':
            if (inAttribute)
                out += '>';
            else
                out += "&gt;";
            break;
        case '"':
            if (inAttribute)
                out += "&quot;";
            else
                out += '"';
            break;
        case '\t':
        case '\n':
        case '\r':
            out += static_cast<char>(c);
            break;
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

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The parser's tree as the printer reads it.
class GumboSource {
public:
    using Node = const GumboNode*;

    explicit GumboSource(Node document) : m_document(document) {}

    Node root() const { return m_document; }
    static bool isDocument(Node node) { return node->type == GUMBO_NODE_DOCUMENT; }
    static bool isElement(Node node) { return node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE; }
    static bool isTextual(Node node) { return node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE; }
    static bool isComment(Node node) { return node->type == GUMBO_NODE_COMMENT; }
    static bool isCdata(Node node) { return node->type == GUMBO_NODE_CDATA; }
    static std::string_view text(Node node) {
        const char* text = node->v.text.text;
        return text ? std::string_view(text, std::strlen(text)) : std::string_view();
    }
    static size_t childCount(Node node) { return children(node).length; }
    static Node child(Node node, size_t i) { return static_cast<Node>(children(node).data[i]); }

    std::string_view name(Node node) {
        const GumboElement& element = node->v.element;
        if (element.tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(element.tag);
        // Unknown tags keep the name written in the source: "<my-tag attr>" gives "my-tag".
        std::string_view source(element.original_tag.data ? element.original_tag.data : "",
                                element.original_tag.length);
        size_t at = 0;
        while (at < source.size() && (source[at] == '<' || source[at] == '/'))
            ++at;
        size_t end = at;
        while (end < source.size() && !isHtmlSpace(source[end]) && source[end] != '/' && source[end] != '>')
            ++end;
        std::string name(source.substr(at, end - at));
        lowerAscii(name);
        return *m_unknownNames.insert(name.empty() ? std::string("unknown") : name).first;
    }
    TagInfo info(Node node) {
        static const std::vector<TagInfo> known = [] {
            std::vector<TagInfo> infos;
            infos.reserve(GUMBO_TAG_UNKNOWN);
            for (int tag = 0; tag < GUMBO_TAG_UNKNOWN; ++tag)
                infos.push_back(tagInfo(gumbo_normalized_tagname(static_cast<GumboTag>(tag))));
            return infos;
        }();
        const GumboTag tag = node->v.element.tag;
        return tag < GUMBO_TAG_UNKNOWN ? known[tag] : tagInfo(name(node));
    }

    static size_t attributeCount(Node node) { return node->v.element.attributes.length; }
    static std::string_view attributeName(Node node, size_t i) {
        const char* name = attribute(node, i)->name;
        return name ? name : "";
    }
    static std::string_view attributeValue(Node node, size_t i) {
        const char* value = attribute(node, i)->value;
        return value ? value : "";
    }

private:
    Node m_document;
    std::unordered_set<std::string> m_unknownNames;

    static const GumboVector& children(Node node) {
        return node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
    }
    static const GumboAttribute* attribute(Node node, size_t i) {
        return static_cast<const GumboAttribute*>(node->v.element.attributes.data[i]);
    }
};

// A document built in code, read the same way.
class TreeSource {
public:
    using Node = const Tree::Node*;

    explicit TreeSource(const Tree& tree) : m_tree(tree) {}

    Node root() const { return &m_tree.node(0); }
    static bool isDocument(Node node) { return node->kind == Tree::Kind::document; }
    static bool isElement(Node node) { return node->kind == Tree::Kind::element; }
    static bool isTextual(Node node) { return node->kind == Tree::Kind::text; }
    static bool isComment(Node) { return false; }
    static bool isCdata(Node) { return false; }
    std::string_view text(Node node) const { return m_tree.characters(*node); }
    static size_t childCount(Node node) { return node->kind == Tree::Kind::text ? 0 : node->count; }
    Node child(Node node, size_t i) const { return &m_tree.node(m_tree.child(*node, i)); }

    static std::string_view name(Node node) { return tagName(node->tag); }
    static TagInfo info(Node node) {
        static const std::vector<TagInfo> infos = [] {
            std::vector<TagInfo> all;
            for (int tag = 0; tag <= static_cast<int>(Tag::td); ++tag)
                all.push_back(tagInfo(tagName(Tag(tag))));
            return all;
        }();
        return infos[static_cast<size_t>(node->tag)];
    }

    static size_t attributeCount(Node node) { return node->attributeCount; }
    std::string_view attributeName(Node node, size_t i) const { return m_tree.attributeAt(*node, i).name; }
    std::string_view attributeValue(Node node, size_t i) const { return m_tree.value(m_tree.attributeAt(*node, i)); }

private:
    const Tree& m_tree;
};

template <class Source> class Printer {
public:
    using Node = typename Source::Node;

    explicit Printer(Source& source) : m_source(source) {}

    std::string print(size_t expectedSize) {
        struct Frame {
            Node node;
            TagInfo info;
            std::string_view name;
            size_t kids = 0; // where the kept children start in m_kids
            size_t kidCount = 0;
            size_t next = 0;
            int depth = 0;
            bool preserve = false;
        };
        m_out.reserve(expectedSize);
        std::vector<Frame> stack;
        Frame root{m_source.root(), TagInfo{}, "#root", 0, 0, 0, -1, false};
        root.kidCount = keepChildren(root.node, root.info, false);
        stack.push_back(root);

        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.next == frame.kidCount) {
                if (frame.depth >= 0) elementTail(frame.name, frame.info, frame.kidCount == 0, frame.depth);
                m_kids.resize(frame.kids);
                stack.pop_back();
                continue;
            }
            const size_t index = frame.next++;
            const Node node = m_kids[frame.kids + index];
            const int depth = frame.depth + 1;
            if (m_source.isElement(node)) {
                Frame child{node, m_source.info(node), m_source.name(node), m_kids.size(), 0, 0, depth, false};
                child.preserve = frame.preserve || child.info.preserveWhitespace;
                elementHead(node, child.name, child.info, frame.info, depth);
                child.kidCount = keepChildren(node, child.info, child.preserve);
                if (child.info.empty && child.kidCount == 0) continue; // void element: no end tag
                stack.push_back(child);
            } else if (m_source.isTextual(node)) {
                const std::string_view value = m_source.text(node);
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
                if (index + 1 < frame.kidCount && isBlockElement(m_kids[frame.kids + index + 1]))
                    while (!trimmed.empty() && isHtmlSpace(trimmed.back()))
                        trimmed.remove_suffix(1);
                if (index > 0 && isBlockElement(m_kids[frame.kids + index - 1]))
                    while (!trimmed.empty() && isHtmlSpace(trimmed.front()))
                        trimmed.remove_prefix(1);
                escape(m_out, trimmed, false, true);
            } else if (m_source.isComment(node)) {
                indent(depth);
                m_out += "<!--";
                m_out.append(m_source.text(node));
                m_out += "-->";
            } else if (m_source.isCdata(node)) {
                m_out += "<![CDATA[";
                m_out.append(m_source.text(node));
                m_out += "]]>";
            }
        }
        trim();
        return std::move(m_out);
    }

private:
    Source& m_source;
    std::string m_out;
    std::vector<Node> m_kids; // the kept children of every open element, innermost last

    // Indentation stops growing at 30 columns, as in later jsoup releases: deep nesting
    // (a long run of ">" in Markdown) would otherwise make the output quadratic in size.
    void indent(int depth) {
        m_out += '\n';
        m_out.append(static_cast<size_t>(std::min(depth, 30)), ' ');
    }

    bool isBlockElement(Node node) { return m_source.isElement(node) && m_source.info(node).breaksText; }

    // The parsed tree keeps the white space that separated blocks in the source; written
    // back it would only leave stray spaces at line ends, so blank text next to a block
    // element, or at either end of a block, is left out. Appends to m_kids; gives the count.
    size_t keepChildren(Node parent, const TagInfo& info, bool preserve) {
        const size_t count = m_source.childCount(parent);
        const size_t before = m_kids.size();
        for (size_t i = 0; i < count; ++i) {
            const Node node = m_source.child(parent, i);
            if (m_source.isTextual(node) && !preserve && !info.data && isBlank(m_source.text(node))) {
                const bool atEnd = i == 0 || i + 1 == count;
                if (m_source.isDocument(parent) || (atEnd && info.formatAsBlock)) continue;
                if (i > 0 && isBlockElement(m_source.child(parent, i - 1))) continue;
                if (i + 1 < count && isBlockElement(m_source.child(parent, i + 1))) continue;
            }
            m_kids.push_back(node);
        }
        return m_kids.size() - before;
    }

    void elementHead(Node element, std::string_view name, const TagInfo& info, const TagInfo& parent, int depth) {
        if ((info.formatAsBlock || parent.formatAsBlock) && !m_out.empty()) indent(depth);
        m_out += '<';
        m_out += name;
        const size_t count = m_source.attributeCount(element);
        for (size_t i = 0; i < count; ++i) {
            std::string key(m_source.attributeName(element, i));
            lowerAscii(key);
            const std::string_view value = m_source.attributeValue(element, i);
            m_out += ' ';
            m_out += key;
            const bool collapse =
                booleanAttributes().contains(key) && (value.empty() || equalsIgnoringCase(value, key));
            if (!collapse) {
                m_out += "=\"";
                escape(m_out, value, true, false);
                m_out += '"';
            }
        }
        m_out += '>';
    }

    void elementTail(std::string_view name, const TagInfo& info, bool childless, int depth) {
        if (info.empty && childless) return;
        if (!childless && info.formatAsBlock) indent(depth);
        m_out += "</";
        m_out += name;
        m_out += '>';
    }

    void trim() {
        size_t end = m_out.size();
        while (end > 0 && static_cast<unsigned char>(m_out[end - 1]) <= ' ')
            --end;
        m_out.resize(end);
        size_t begin = 0;
        while (begin < m_out.size() && static_cast<unsigned char>(m_out[begin]) <= ' ')
            ++begin;
        m_out.erase(0, begin);
    }
};

struct OutputDeleter {
    void operator()(GumboOutput* output) const { gumbo_destroy_output(&kGumboDefaultOptions, output); }
};

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
            while (nameEnd < close && std::isalnum(static_cast<unsigned char>(html[nameEnd])))
                ++nameEnd;
            std::string name(html.substr(at + 1, nameEnd - at - 1));
            lowerAscii(name);
            if (html[close - 1] != '/' && !voidElements.contains(name)) deepest = std::max(deepest, ++depth);
            at = close;
        }
    }
    return deepest;
}

bool containsIgnoringCase(std::string_view text, std::string_view lowerNeedle) {
    return std::search(text.begin(), text.end(), lowerNeedle.begin(), lowerNeedle.end(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
           }) != text.end();
}

// The parser library ships with its assertions on, and one of them stops the whole process
// when a CDATA section sits in SVG or MathML text inside a table. Such a fragment is not
// parsed at all; the caller keeps it as it is.
bool mayTripParserAssertion(std::string_view html) {
    return html.find("<![CDATA[") != std::string_view::npos && containsIgnoringCase(html, "<table") &&
           (containsIgnoringCase(html, "<svg") || containsIgnoringCase(html, "<math"));
}

} // namespace

std::optional<std::string> prettyDocument(std::string_view fragment) {
    if (nestingBound(fragment) > maxNesting || mayTripParserAssertion(fragment)) return std::nullopt;
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0; // the error list is never read; recording it costs time on large inputs
    std::unique_ptr<GumboOutput, OutputDeleter> output(
        gumbo_parse_with_options(&options, fragment.data(), fragment.size()));
    if (!output || !output->document) return std::nullopt;
    GumboSource source(output->document);
    return Printer<GumboSource>(source).print(fragment.size() * 5 / 4);
}

std::string prettyTree(const Tree& tree) {
    TreeSource source(tree);
    return Printer<TreeSource>(source).print(tree.characterCount() * 5 / 4);
}

} // namespace lexorra::html
