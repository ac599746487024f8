#include "actions/data/HtmlTree.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace lexorra::html {

namespace {

// Bytes that start a character the HTML parser replaces: C0 controls other than white space,
// DEL; C2 starts the C1 controls, EF the noncharacters U+FDD0..U+FDEF and U+FFFE/U+FFFF, F0..F4
// those at the end of the other planes.
constexpr std::array<bool, 256> suspectBytes = [] {
    std::array<bool, 256> suspect{};
    for (int c = 0x01; c < 0x20; ++c)
        suspect[c] = c != '\t' && c != '\n' && c != '\f';
    suspect[0x7F] = suspect[0xC2] = suspect[0xEF] = true;
    for (int c = 0xF0; c <= 0xF4; ++c)
        suspect[c] = true;
    return suspect;
}();

bool isReplaced(char32_t c) {
    return (c >= 0x1 && c <= 0x8) || c == 0xB || (c >= 0xE && c <= 0x1F) || (c >= 0x7F && c <= 0x9F) ||
           (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFF) == 0xFFFE || (c & 0xFFFF) == 0xFFFF;
}

// The parser reads CR LF and a lone CR as LF; afterReturn carries a CR at the end of one piece
// of text over to the next, which may start with its LF.
void appendAsParsed(std::string& out, std::string_view text, bool& afterReturn) {
    size_t copied = 0;
    if (afterReturn && !text.empty() && text.front() == '\n') copied = 1;
    afterReturn = false;
    for (size_t i = copied; i < text.size();) {
        // Eight bytes at a time while they are all printable ASCII.
        if (i + 8 <= text.size()) {
            constexpr std::uint64_t ones = 0x0101010101010101, highBits = 0x8080808080808080;
            std::uint64_t word;
            std::memcpy(&word, text.data() + i, 8);
            const std::uint64_t control = (word - ones * 0x20) & ~word & highBits;
            const std::uint64_t deleteOrHigh = ((word + ones) | word) & highBits;
            if ((control | deleteOrHigh) == 0) {
                i += 8;
                continue;
            }
        }
        const auto lead = static_cast<unsigned char>(text[i]);
        if (!suspectBytes[lead]) {
            ++i;
            continue;
        }
        if (lead == '\r') {
            out.append(text.substr(copied, i - copied));
            out += '\n';
            const bool pair = i + 1 < text.size() && text[i + 1] == '\n';
            afterReturn = i + 1 == text.size();
            i += pair ? 2 : 1;
            copied = i;
            continue;
        }
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (i + length > text.size()) break;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        if (isReplaced(c)) {
            out.append(text.substr(copied, i - copied));
            out += "\xEF\xBF\xBD";
            copied = i + length;
        }
        i += length;
    }
    out.append(text.substr(copied));
}

} // namespace

std::string_view tagName(Tag tag) {
    static constexpr std::array<std::string_view, 30> names = {
        "html", "head", "body", "p",          "h1",    "h2",    "h3",    "h4", "h5",     "h6",
        "ul",   "ol",   "li",   "blockquote", "pre",   "code",  "hr",    "em", "strong", "del",
        "a",    "img",  "br",   "input",      "table", "thead", "tbody", "tr", "th",     "td"};
    return names[static_cast<size_t>(tag)];
}

Tree::Tree() {
    m_nodes.push_back({Kind::document, Tag::html});
    m_open.push_back({0, 0});
    open(Tag::html);
    leaf(Tag::head);
    open(Tag::body);
    m_deepest = 0;
}

Tree::NodeId Tree::add(Kind kind, Tag tag) {
    const auto id = static_cast<NodeId>(m_nodes.size());
    m_nodes.push_back({kind, tag});
    m_pending.push_back(id);
    return id;
}

void Tree::reserve(std::size_t characters) {
    m_chars.reserve(characters);
    m_nodes.reserve(characters / 16);
    m_children.reserve(characters / 16);
}

void Tree::open(Tag tag) {
    m_openText = 0;
    m_afterReturn = false;
    const NodeId id = add(Kind::element, tag);
    m_open.push_back({id, m_pending.size()});
    // document, html and body are not the content's
    m_deepest = std::max(m_deepest, m_open.size() - 3);
}

void Tree::leaf(Tag tag) {
    m_openText = 0;
    m_afterReturn = false;
    add(Kind::element, tag);
}

void Tree::attribute(std::string_view name, std::string_view value) {
    Node& element = m_nodes.back();
    if (element.attributeCount == 0) element.attributes = static_cast<std::uint32_t>(m_attributes.size());
    ++element.attributeCount;
    const size_t start = m_chars.size();
    bool afterReturn = false;
    appendAsParsed(m_chars, value, afterReturn);
    m_attributes.push_back(
        {name, static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(m_chars.size() - start)});
}

void Tree::close() {
    m_openText = 0;
    m_afterReturn = false;
    const Open element = m_open.back();
    m_open.pop_back();
    Node& node = m_nodes[element.node];
    node.first = static_cast<std::uint32_t>(m_children.size());
    node.count = static_cast<std::uint32_t>(m_pending.size() - element.firstPending);
    m_children.insert(m_children.end(), m_pending.begin() + static_cast<std::ptrdiff_t>(element.firstPending),
                      m_pending.end());
    m_pending.resize(element.firstPending);
}

void Tree::text(std::string_view text) {
    if (text.empty()) return;
    // The characters of the growing text node are the last ones added: extend them.
    if (m_openText == 0) {
        m_openText = add(Kind::text, Tag::html);
        m_nodes[m_openText].first = static_cast<std::uint32_t>(m_chars.size());
    }
    const size_t start = m_chars.size();
    appendAsParsed(m_chars, text, m_afterReturn);
    m_nodes[m_openText].count += static_cast<std::uint32_t>(m_chars.size() - start);
}

void Tree::finish() {
    while (!m_open.empty())
        close();
}

} // namespace lexorra::html
