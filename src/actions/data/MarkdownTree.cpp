#include "actions/data/MarkdownTree.h"

#include <cmark-gfm-core-extensions.h>
#include <cmark-gfm-extension_api.h>
#include <cmark-gfm.h>

#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace lexorra {

namespace {

using html::Tag;

std::string_view literal(cmark_node* node) {
    const char* text = cmark_node_get_literal(node);
    return text ? std::string_view(text, std::strlen(text)) : std::string_view();
}

std::string_view view(const char* text) {
    return text ? std::string_view(text, std::strlen(text)) : std::string_view();
}

// The bytes the renderer writes into a URL unchanged; every other byte is percent-encoded,
// except & and ', which it writes as character references that the HTML parser decodes back.
constexpr std::array<bool, 256> urlSafeBytes = [] {
    std::array<bool, 256> safe{};
    for (int c = '0'; c <= '9'; ++c)
        safe[c] = true;
    for (int c = 'a'; c <= 'z'; ++c)
        safe[c] = safe[c - 'a' + 'A'] = true;
    for (const char c : std::string_view("-_.+!*(),%#@?=;:/$~&'"))
        safe[static_cast<unsigned char>(c)] = true;
    return safe;
}();

void appendUrl(std::string& out, std::string_view url) {
    static constexpr char hex[] = "0123456789ABCDEF";
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (urlSafeBytes[byte]) {
            out += c;
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        }
    }
}

// The renderer's own white space: the end of an info string's first word.
bool isInfoSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

enum class Kind { core, table, tableRow, tableCell, strikethrough, unknown };

class Writer {
public:
    explicit Writer(html::Tree& tree) : m_tree(tree), m_tasklist(cmark_find_syntax_extension("tasklist")) {}

    bool write(cmark_node* document) {
        cmark_node* node = document;
        for (;;) {
            const Step step = enter(node, cmark_node_get_type(node));
            if (step == Step::fail) return false;
            if (step == Step::descend) {
                if (cmark_node* child = cmark_node_first_child(node)) {
                    node = child;
                    continue;
                }
                if (!leave(node)) return false;
            }
            for (;;) {
                if (node == document) return true;
                if (cmark_node* next = cmark_node_next(node)) {
                    node = next;
                    break;
                }
                node = cmark_node_parent(node);
                if (!leave(node)) return false;
            }
        }
    }

private:
    enum class Step { descend, skip, fail };

    html::Tree& m_tree;
    cmark_syntax_extension* m_tasklist;
    std::vector<std::pair<cmark_node_type, Kind>> m_extensionKinds;
    struct Entered {
        cmark_node_type type;
        bool tight; // a tight list
    };
    std::vector<Entered> m_entered; // the nodes entered and not yet left
    // Whether the renderer's output so far is empty or ends a line: it starts a block on a
    // new line only when not.
    bool m_atLineStart = true;
    int m_links = 0;
    bool m_tableHeader = false;
    bool m_tableBody = false;
    const std::uint8_t* m_alignments = nullptr;
    std::size_t m_columns = 0;
    std::size_t m_column = 0;
    std::string m_scratch;

    void text(std::string_view text) {
        if (text.empty()) return;
        m_tree.text(text);
        m_atLineStart = text.back() == '\n';
    }
    void lineBreak() { text("\n"); }
    void startLine() {
        if (!m_atLineStart) lineBreak();
    }
    void open(Tag tag) {
        m_tree.open(tag);
        m_atLineStart = false;
    }
    void close() {
        m_tree.close();
        m_atLineStart = false;
    }
    void leaf(Tag tag) {
        m_tree.leaf(tag);
        m_atLineStart = false;
    }

    Kind kindOf(cmark_node* node, cmark_node_type type) {
        switch (type) {
        case CMARK_NODE_DOCUMENT:
        case CMARK_NODE_BLOCK_QUOTE:
        case CMARK_NODE_LIST:
        case CMARK_NODE_ITEM:
        case CMARK_NODE_CODE_BLOCK:
        case CMARK_NODE_HTML_BLOCK:
        case CMARK_NODE_CUSTOM_BLOCK:
        case CMARK_NODE_PARAGRAPH:
        case CMARK_NODE_HEADING:
        case CMARK_NODE_THEMATIC_BREAK:
        case CMARK_NODE_FOOTNOTE_DEFINITION:
        case CMARK_NODE_TEXT:
        case CMARK_NODE_SOFTBREAK:
        case CMARK_NODE_LINEBREAK:
        case CMARK_NODE_CODE:
        case CMARK_NODE_HTML_INLINE:
        case CMARK_NODE_CUSTOM_INLINE:
        case CMARK_NODE_EMPH:
        case CMARK_NODE_STRONG:
        case CMARK_NODE_LINK:
        case CMARK_NODE_IMAGE:
        case CMARK_NODE_FOOTNOTE_REFERENCE:
            return Kind::core;
        default:
            break;
        }
        // The extensions' node types are numbered when they register.
        for (const auto& [known, kind] : m_extensionKinds)
            if (known == type) return kind;
        const std::string_view name = view(cmark_node_get_type_string(node));
        Kind kind = Kind::unknown;
        if (name == "table")
            kind = Kind::table;
        else if (name == "table_row" || name == "table_header")
            kind = Kind::tableRow;
        else if (name == "table_cell")
            kind = Kind::tableCell;
        else if (name == "strikethrough")
            kind = Kind::strikethrough;
        m_extensionKinds.emplace_back(type, kind);
        return kind;
    }

    // A paragraph directly in an item of a tight list has no element of its own.
    bool inTightList() const {
        const size_t n = m_entered.size();
        return n >= 2 && m_entered[n - 1].type == CMARK_NODE_ITEM && m_entered[n - 2].type == CMARK_NODE_LIST &&
               m_entered[n - 2].tight;
    }

    // The alt text is the image's content as plain text, line breaks as spaces.
    void appendPlainText(std::string& out, cmark_node* image) {
        cmark_node* node = cmark_node_first_child(image);
        while (node) {
            switch (cmark_node_get_type(node)) {
            case CMARK_NODE_TEXT:
            case CMARK_NODE_CODE:
            case CMARK_NODE_HTML_INLINE:
                out.append(literal(node));
                break;
            case CMARK_NODE_LINEBREAK:
            case CMARK_NODE_SOFTBREAK:
                out += ' ';
                break;
            default:
                break;
            }
            if (cmark_node* child = cmark_node_first_child(node)) {
                node = child;
                continue;
            }
            while (node != image && !cmark_node_next(node))
                node = cmark_node_parent(node);
            node = node == image ? nullptr : cmark_node_next(node);
        }
    }

    Step enter(cmark_node* node, cmark_node_type type) {
        const Step step = opening(node, type);
        if (step == Step::descend)
            m_entered.push_back({type, type == CMARK_NODE_LIST && cmark_node_get_list_tight(node) != 0});
        return step;
    }

    bool leave(cmark_node* node) {
        const cmark_node_type type = m_entered.back().type;
        m_entered.pop_back();
        return closing(node, type);
    }

    Step opening(cmark_node* node, cmark_node_type type) {
        switch (kindOf(node, type)) {
        case Kind::core:
            break;
        case Kind::strikethrough:
            open(Tag::del);
            return Step::descend;
        case Kind::table:
            startLine();
            open(Tag::table);
            m_tableBody = false;
            m_alignments = cmark_gfm_extensions_get_table_alignments(node);
            m_columns = cmark_gfm_extensions_get_table_columns(node);
            return Step::descend;
        case Kind::tableRow:
            startLine();
            if (cmark_gfm_extensions_get_table_row_is_header(node)) {
                m_tableHeader = true;
                open(Tag::thead);
                startLine();
            } else if (!m_tableBody) {
                open(Tag::tbody);
                startLine();
                m_tableBody = true;
            }
            open(Tag::tr);
            m_column = 0;
            return Step::descend;
        case Kind::tableCell: {
            if (m_column >= m_columns || !m_alignments) return Step::fail;
            startLine();
            open(m_tableHeader ? Tag::th : Tag::td);
            switch (m_alignments[m_column]) {
            case 'l':
                m_tree.attribute("align", "left");
                break;
            case 'c':
                m_tree.attribute("align", "center");
                break;
            case 'r':
                m_tree.attribute("align", "right");
                break;
            default:
                break;
            }
            return Step::descend;
        }
        case Kind::unknown:
            return Step::fail;
        }

        switch (type) {
        case CMARK_NODE_DOCUMENT:
            return Step::descend;
        case CMARK_NODE_BLOCK_QUOTE:
            startLine();
            open(Tag::blockquote);
            lineBreak();
            return Step::descend;
        case CMARK_NODE_LIST: {
            startLine();
            const bool bullet = cmark_node_get_list_type(node) == CMARK_BULLET_LIST;
            open(bullet ? Tag::ul : Tag::ol);
            if (!bullet && cmark_node_get_list_start(node) != 1)
                m_tree.attribute("start", std::to_string(cmark_node_get_list_start(node)));
            lineBreak();
            return Step::descend;
        }
        case CMARK_NODE_ITEM:
            startLine();
            open(Tag::li);
            if (m_tasklist && cmark_node_get_syntax_extension(node) == m_tasklist) {
                leaf(Tag::input);
                m_tree.attribute("type", "checkbox");
                if (cmark_gfm_extensions_get_tasklist_item_checked(node)) m_tree.attribute("checked", "");
                m_tree.attribute("disabled", "");
                text(" ");
            }
            return Step::descend;
        case CMARK_NODE_HEADING: {
            const int level = cmark_node_get_heading_level(node);
            if (level < 1 || level > 6) return Step::fail;
            startLine();
            open(static_cast<Tag>(static_cast<int>(Tag::h1) + level - 1));
            return Step::descend;
        }
        case CMARK_NODE_CODE_BLOCK: {
            startLine();
            open(Tag::pre);
            open(Tag::code);
            const std::string_view info = view(cmark_node_get_fence_info(node));
            if (!info.empty()) {
                size_t word = 0;
                while (word < info.size() && !isInfoSpace(info[word]))
                    ++word;
                m_scratch.assign("language-").append(info.substr(0, word));
                m_tree.attribute("class", m_scratch);
            }
            text(literal(node));
            close();
            close();
            lineBreak();
            return Step::skip;
        }
        case CMARK_NODE_THEMATIC_BREAK:
            startLine();
            leaf(Tag::hr);
            lineBreak();
            return Step::skip;
        case CMARK_NODE_PARAGRAPH:
            if (!inTightList()) {
                startLine();
                open(Tag::p);
            }
            return Step::descend;
        case CMARK_NODE_TEXT:
            text(literal(node));
            return Step::skip;
        case CMARK_NODE_LINEBREAK:
            leaf(Tag::br);
            lineBreak();
            return Step::skip;
        case CMARK_NODE_SOFTBREAK:
            lineBreak();
            return Step::skip;
        case CMARK_NODE_CODE:
            open(Tag::code);
            text(literal(node));
            close();
            return Step::skip;
        case CMARK_NODE_EMPH:
            open(Tag::em);
            return Step::descend;
        case CMARK_NODE_STRONG:
            open(Tag::strong);
            return Step::descend;
        case CMARK_NODE_LINK: {
            // The parser closes the outer link where the inner one starts.
            if (m_links > 0) return Step::fail;
            ++m_links;
            open(Tag::a);
            m_scratch.clear();
            appendUrl(m_scratch, view(cmark_node_get_url(node)));
            m_tree.attribute("href", m_scratch);
            const std::string_view title = view(cmark_node_get_title(node));
            if (!title.empty()) m_tree.attribute("title", title);
            return Step::descend;
        }
        case CMARK_NODE_IMAGE: {
            leaf(Tag::img);
            m_scratch.clear();
            appendUrl(m_scratch, view(cmark_node_get_url(node)));
            m_tree.attribute("src", m_scratch);
            m_scratch.clear();
            appendPlainText(m_scratch, node);
            m_tree.attribute("alt", m_scratch);
            const std::string_view title = view(cmark_node_get_title(node));
            if (!title.empty()) m_tree.attribute("title", title);
            return Step::skip;
        }
        default:
            // Raw HTML is parsed with the page around it and may move or close elements.
            return Step::fail;
        }
    }

    bool closing(cmark_node* node, cmark_node_type type) {
        switch (kindOf(node, type)) {
        case Kind::core:
            break;
        case Kind::strikethrough:
            close();
            return true;
        case Kind::table:
            if (m_tableBody) {
                startLine();
                close();
                startLine();
            }
            m_tableBody = false;
            startLine();
            close();
            startLine();
            return true;
        case Kind::tableRow:
            startLine();
            close();
            if (cmark_gfm_extensions_get_table_row_is_header(node)) {
                startLine();
                close();
                m_tableHeader = false;
            }
            return true;
        case Kind::tableCell:
            close();
            ++m_column;
            return true;
        case Kind::unknown:
            return false;
        }

        switch (type) {
        case CMARK_NODE_DOCUMENT:
            return true;
        case CMARK_NODE_BLOCK_QUOTE:
            startLine();
            close();
            lineBreak();
            return true;
        case CMARK_NODE_LIST:
        case CMARK_NODE_ITEM:
        case CMARK_NODE_HEADING:
            close();
            lineBreak();
            return true;
        case CMARK_NODE_PARAGRAPH:
            if (!inTightList()) {
                close();
                lineBreak();
            }
            return true;
        case CMARK_NODE_EMPH:
        case CMARK_NODE_STRONG:
            close();
            return true;
        case CMARK_NODE_LINK:
            --m_links;
            close();
            return true;
        default:
            return false;
        }
    }
};

} // namespace

bool buildMarkdownTree(cmark_node* document, html::Tree& tree) {
    Writer writer(tree);
    if (!writer.write(document)) return false;
    tree.finish();
    return !tree.overflowed();
}

} // namespace lexorra
