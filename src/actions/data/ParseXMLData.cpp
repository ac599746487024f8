#include "actions/data/ParseXMLData.h"

#include "text/Utf.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <unicode/uchar.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace lexorra {

namespace {

bool endsWith(const std::string& s, char c) {
    return !s.empty() && s.back() == c;
}

// Marker patterns start with an element name; a match only counts where that name is not the
// tail of a longer one ("item@}" must not match inside "subitem@}"). The passes below work
// marker by marker in one scan each, so their cost does not grow with the number of names.
bool isNameByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_' || c == ':';
}

// The element name that ends right before `at`: the longest run of name characters.
std::string_view nameBefore(const std::string& s, size_t at) {
    size_t begin = at;
    while (begin > 0 && isNameByte(s[begin - 1]))
        --begin;
    return std::string_view(s).substr(begin, at - begin);
}

// The regular-expression class \s as the ICU engine matches it: the White_Space property,
// which adds the vertical tab and U+0085 to the separators.
bool isRegexSpace(char32_t c) {
    return u_isUWhiteSpace(static_cast<UChar32>(c));
}

// Replaces each  :\s?"\s+"#  (a whitespace-only text still marked as content) by ":{".
std::string openWhitespaceContent(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] != ':') {
            out += s[i++];
            continue;
        }
        auto tryFrom = [&](size_t quote) -> size_t {
            if (quote >= s.size() || s[quote] != '"') return 0;
            size_t j = quote + 1;
            size_t spaces = 0;
            while (j < s.size()) {
                size_t next = j;
                const char32_t c = text::nextCodePoint(s, next);
                if (!isRegexSpace(c)) break;
                j = next;
                ++spaces;
            }
            if (spaces == 0 || j + 1 >= s.size() || s[j] != '"' || s[j + 1] != '#') return 0;
            return j + 2;
        };
        size_t afterSpace = i + 1;
        size_t end = 0;
        if (afterSpace < s.size()) {
            size_t next = afterSpace;
            if (isRegexSpace(text::nextCodePoint(s, next))) end = tryFrom(next);
        }
        if (!end) end = tryFrom(afterSpace);
        if (end) {
            out += ":{";
            i = end;
        } else {
            out += s[i++];
        }
    }
    return out;
}

ParseXMLData* converterOf(void* ctx) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    return ctxt ? static_cast<ParseXMLData*>(ctxt->_private) : nullptr;
}

void onStart(void* ctx, const xmlChar* name, const xmlChar** atts) {
    auto* self = converterOf(ctx);
    if (!self) return;
    std::vector<std::pair<std::string, std::string>> attributes;
    for (size_t i = 0; atts && atts[i]; i += 2) {
        std::string value = atts[i + 1] ? reinterpret_cast<const char*>(atts[i + 1]) : "";
        // Without entity substitution the library hands over a decoded "&" written back as
        // "&#38;", for a tree builder to read again. No "#" survives into the text parsed
        // here, so every "&#38;" is one of those.
        for (size_t at = value.find("&#38;"); at != std::string::npos; at = value.find("&#38;", at + 1))
            value.replace(at, 5, "&");
        attributes.emplace_back(reinterpret_cast<const char*>(atts[i]), std::move(value));
    }
    self->didStartElement(reinterpret_cast<const char*>(name), attributes);
}

void onEnd(void* ctx, const xmlChar* name) {
    if (auto* self = converterOf(ctx)) self->didEndElement(reinterpret_cast<const char*>(name));
}

void onCharacters(void* ctx, const xmlChar* ch, int len) {
    if (auto* self = converterOf(ctx))
        self->foundCharacters(std::string_view(reinterpret_cast<const char*>(ch), static_cast<size_t>(len)));
}

// CDATA sections, comments and processing instructions are not part of the JSON.
void ignoreBlock(void*, const xmlChar*, int) {}
void silent(void*, const char*, ...) {}

} // namespace

void ParseXMLData::didStartElement(std::string_view name,
                                   const std::vector<std::pair<std::string, std::string>>& attributes) {
    std::string n(name);
    if (m_known.insert(n).second) elementArr.push_back(n);
    if (endsWith(str, '"') || endsWith(str, '}')) str += ',';
    str += '"';
    str += n;
    str += "\":{";
    bool first = true;
    for (const auto& [key, value] : attributes) {
        if (!first) str += ',';
        first = false;
        // A quote inside a value would end the JSON string early: values lose them, as text does.
        str += '"';
        str += key;
        str += "\":\"";
        for (char c : value)
            if (c != '"') str += c;
        str += '"';
    }
}

void ParseXMLData::foundCharacters(std::string_view text) {
    if (!endsWith(str, '{')) return;
    str.pop_back();
    str += '"';
    for (char c : text)
        if (c != '"') str += c;
    str += "\"#";
}

void ParseXMLData::didEndElement(std::string_view name) {
    if (endsWith(str, '#')) {
        str.pop_back();
        return;
    }
    str += name;
    str += "@}";
}

std::string ParseXMLData::parse() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });

    xmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    // Version 1 reports qualified names as written: namespaces are not processed.
    xmlSAXVersion(&handler, 1);
    handler.startElement = onStart;
    handler.endElement = onEnd;
    handler.characters = onCharacters;
    handler.ignorableWhitespace = onCharacters;
    handler.cdataBlock = ignoreBlock;
    handler.comment = nullptr;
    handler.processingInstruction = nullptr;
    handler.reference = nullptr;
    handler.warning = silent;
    handler.error = silent;
    handler.fatalError = silent;

    if (parser.size() <= static_cast<size_t>(INT32_MAX)) {
        xmlParserCtxtPtr ctxt = xmlCreateMemoryParserCtxt(parser.data(), static_cast<int>(parser.size()));
        if (ctxt) {
            xmlCtxtUseOptions(ctxt, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC);
            *ctxt->sax = handler;
            ctxt->_private = this;
            // A parse error ends the events; what was built so far still goes through the passes.
            xmlParseDocument(ctxt);
            if (ctxt->myDoc) xmlFreeDoc(ctxt->myDoc);
            ctxt->myDoc = nullptr;
            xmlFreeParserCtxt(ctxt);
        }
    }
    afterParsing();
    return str;
}

void ParseXMLData::afterParsing() {
    // An element N closed and directly followed by a sibling N ("N@},\"N\":"): the run becomes
    // one list of objects under the first sibling's key.
    std::unordered_set<std::string> arrays;
    {
        std::string out;
        out.reserve(str.size());
        size_t last = 0;
        for (size_t at = str.find("@}"); at != std::string::npos; at = str.find("@}", at + 2)) {
            const std::string_view name = nameBefore(str, at);
            if (name.empty() || !m_known.count(std::string(name))) continue;
            const std::string sibling = ",\"" + std::string(name) + "\":";
            if (str.compare(at + 2, sibling.size(), sibling) != 0) continue;
            out.append(str, last, at - name.size() - last);
            out += "},";
            arrays.insert(std::string(name));
            last = at + 2 + sibling.size();
            at = last - 2;
        }
        out.append(str, last, std::string::npos);
        str = std::move(out);
    }
    for (const auto& n : elementArr)
        if (arrays.count(n)) arrayElementArr.push_back(n);

    // Brackets around every list ("\"N\":{" opens, "N@}" closes), then the end markers "N@" go.
    std::string out;
    out.reserve(str.size() + 16);
    for (size_t i = 0; i < str.size();) {
        const char c = str[i];
        if (c == '"') {
            const size_t close = str.find('"', i + 1);
            if (close != std::string::npos && str.compare(close + 1, 2, ":{") == 0 &&
                arrays.count(str.substr(i + 1, close - i - 1))) {
                out.append(str, i, close + 2 - i);
                out += "[{";
                i = close + 3;
                continue;
            }
        } else if (c == '@') {
            const std::string name(nameBefore(out, out.size()));
            if (!name.empty() && m_known.count(name)) {
                out.resize(out.size() - name.size());
                if (arrays.count(name) && i + 1 < str.size() && str[i + 1] == '}') {
                    out += "}]";
                    i += 2;
                } else {
                    ++i;
                }
                continue;
            }
        }
        out += c;
        ++i;
    }
    str = std::move(out);

    str.erase(std::remove(str.begin(), str.end(), '\n'), str.end());
    str = openWhitespaceContent(str);
    str.erase(std::remove(str.begin(), str.end(), '\\'), str.end());
    str += '}';
}

} // namespace lexorra
