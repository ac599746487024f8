#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexorra::html {

// The elements a document built in code may hold: those a Markdown page is made of.
enum class Tag : std::uint8_t {
    html,
    head,
    body,
    p,
    h1,
    h2,
    h3,
    h4,
    h5,
    h6,
    ul,
    ol,
    li,
    blockquote,
    pre,
    code,
    hr,
    em,
    strong,
    del,
    a,
    img,
    br,
    input,
    table,
    thead,
    tbody,
    tr,
    th,
    td
};

std::string_view tagName(Tag tag);

// An HTML document built the way an HTML5 parser builds it from well-nested markup: adjacent
// pieces of text join into one text node (the pretty printer collapses white space per node),
// characters the parser does not accept (controls other than white space, noncharacters)
// become U+FFFD, and a document always has <html>, an empty <head> and a <body> that receives
// the content; CR LF and CR become LF. Text and attribute values are valid UTF-8 without NUL.
//
//   Tree tree;
//   tree.open(Tag::p);
//   tree.text("one\n");
//   tree.text("two");
//   tree.close();
//   tree.finish();
//   prettyTree(tree) == "<html>\n <head></head>\n <body>\n  <p>one two</p>\n </body>\n</html>"
class Tree {
public:
    enum class Kind : std::uint8_t { document, element, text };
    using NodeId = std::uint32_t;

    struct Node {
        Kind kind;
        Tag tag;
        // Text: the range of its characters. Element: the range of its children's ids.
        std::uint32_t first = 0;
        std::uint32_t count = 0;
        std::uint32_t attributes = 0; // index of the first attribute
        std::uint32_t attributeCount = 0;
    };
    struct Attribute {
        std::string_view name; // a literal: names are never built at run time
        std::uint32_t value = 0;
        std::uint32_t length = 0;
    };

    Tree();

    // Room for about this many characters of text and attribute values.
    void reserve(std::size_t characters);

    void open(Tag tag);
    // An element that never has children (a void element, or an element left empty).
    void leaf(Tag tag);
    // An attribute of the element opened or added last; nothing may come in between.
    void attribute(std::string_view name, std::string_view value);
    void close();
    void text(std::string_view text);
    // Closes every open element; the tree is complete.
    void finish();

    // How deep the content's elements nested at most, <html> and <body> not counted.
    std::size_t deepest() const { return m_deepest; }
    // The offsets are 32 bits wide: a document past 4 GB of characters cannot be built.
    bool overflowed() const { return m_chars.size() > UINT32_MAX || m_nodes.size() > UINT32_MAX; }
    std::size_t characterCount() const { return m_chars.size(); }

    const Node& node(NodeId id) const { return m_nodes[id]; }
    NodeId child(const Node& parent, std::size_t i) const { return m_children[parent.first + i]; }
    std::string_view characters(const Node& node) const { return {m_chars.data() + node.first, node.count}; }
    const Attribute& attributeAt(const Node& element, std::size_t i) const {
        return m_attributes[element.attributes + i];
    }
    std::string_view value(const Attribute& attribute) const {
        return {m_chars.data() + attribute.value, attribute.length};
    }

private:
    struct Open {
        NodeId node;
        std::size_t firstPending; // where its children start in m_pending
    };

    NodeId add(Kind kind, Tag tag);

    std::vector<Node> m_nodes;
    std::vector<NodeId> m_children;
    std::vector<NodeId> m_pending; // the children of the open elements, innermost last
    std::vector<Open> m_open;
    std::vector<Attribute> m_attributes;
    std::string m_chars;
    NodeId m_openText = 0;      // the text node still growing, or 0 (the document) for none
    bool m_afterReturn = false; // the growing text ends with a CR read as LF
    std::size_t m_deepest = 0;
};

} // namespace lexorra::html
