#include "actions/data/XmlSupport.h"

#include "text/Lines.h"
#include "text/Utf.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlsave.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>

namespace lexorra::data {

namespace {

// The text is UTF-8 whatever its declaration says; reading it without a declared encoding
// also spares the library a transcoding copy of the whole input.
constexpr int readOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC;

void initialise() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct ContextFree {
    void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;

DocPtr readDocument(std::string_view xml, int options) {
    if (hasTooManyAttributes(xml)) return nullptr;
    initialise();
    if (xml.size() > static_cast<size_t>(INT32_MAX)) return nullptr;
    std::unique_ptr<xmlParserCtxt, ContextFree> ctxt(xmlNewParserCtxt());
    if (!ctxt) return nullptr;
    DocPtr doc(xmlCtxtReadMemory(ctxt.get(), xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, options));
    if (!doc || !ctxt->wellFormed) return nullptr;
    return doc;
}

void silent(void*, const char*, ...) {}

bool parsesWithoutTree(std::string_view xml) {
    // The same parse as readDocument without building the tree: only declarations are kept
    // (entities must resolve exactly as they would for a document).
    if (hasTooManyAttributes(xml)) return false;
    initialise();
    if (xml.size() > static_cast<size_t>(INT32_MAX)) return false;
    std::unique_ptr<xmlParserCtxt, ContextFree> ctxt(
        xmlCreateMemoryParserCtxt(xml.data(), static_cast<int>(xml.size())));
    if (!ctxt) return false;
    xmlCtxtUseOptions(ctxt.get(), readOptions);
    xmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    xmlSAXVersion(&handler, 2);
    handler.startElementNs = nullptr;
    handler.endElementNs = nullptr;
    handler.startElement = nullptr;
    handler.endElement = nullptr;
    handler.characters = nullptr;
    handler.ignorableWhitespace = nullptr;
    handler.cdataBlock = nullptr;
    handler.comment = nullptr;
    handler.processingInstruction = nullptr;
    handler.reference = nullptr;
    handler.warning = silent;
    handler.error = silent;
    handler.fatalError = silent;
    handler.serror = nullptr;
    *ctxt->sax = handler;
    xmlParseDocument(ctxt.get());
    const bool wellFormed = ctxt->wellFormed != 0;
    if (ctxt->myDoc) xmlFreeDoc(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    return wellFormed;
}

// Where `end` next occurs at or after `from`; the end of the text when it does not.
size_t skipPast(std::string_view xml, size_t from, std::string_view end) {
    const size_t at = xml.find(end, from);
    return at == std::string_view::npos ? xml.size() : at + end.size();
}

} // namespace

bool hasTooManyAttributes(std::string_view xml) {
    // Below this size no tag can hold that many attributes (each needs at least `a=""` and a space).
    if (xml.size() < xmlAttributeLimit * 5) return false;
    size_t i = 0;
    while (i < xml.size()) {
        const size_t open = xml.find('<', i);
        if (open == std::string_view::npos) return false;
        const std::string_view rest = xml.substr(open);
        if (rest.starts_with("<!--")) {
            i = skipPast(xml, open + 4, "-->");
            continue;
        }
        if (rest.starts_with("<![CDATA[")) {
            i = skipPast(xml, open + 9, "]]>");
            continue;
        }
        if (rest.starts_with("<?")) {
            i = skipPast(xml, open + 2, "?>");
            continue;
        }
        // A start tag: count the '=' outside quoted values up to the closing '>'.
        size_t attributes = 0;
        char quote = 0;
        size_t at = open + 1;
        for (; at < xml.size(); ++at) {
            const char c = xml[at];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '=') {
                if (++attributes > xmlAttributeLimit) return true;
            } else if (c == '>') {
                break;
            }
        }
        i = at + 1;
    }
    return false;
}

bool isWellFormedXml(std::string_view xml) { return parsesWithoutTree(xml); }

std::optional<std::string> prettyPrintXml(std::string_view xml) {
    // The library writes straight into the result, sized for the usual outcome: a buffer of its
    // own would cost a second copy of the whole output. It is taken before the parse: a large
    // block taken then comes from the system and goes back to it, where one taken after the
    // parse's large frees comes from the heap, and releasing it makes the allocator sweep every
    // freed node of the tree (a fifth of the run on large documents).
    std::string out;
    out.reserve(std::min<size_t>(xml.size() + xml.size() / 2 + 64, INT32_MAX));
    // The tree is only written out, never changed: short texts may live inside their nodes.
    DocPtr doc = readDocument(xml, readOptions | XML_PARSE_NOBLANKS | XML_PARSE_COMPACT);
    if (!doc) return std::nullopt;
    auto append = [](void* context, const char* bytes, int length) {
        static_cast<std::string*>(context)->append(bytes, static_cast<size_t>(length));
        return length;
    };
    xmlSaveCtxtPtr save = xmlSaveToIO(append, nullptr, &out, "UTF-8", XML_SAVE_FORMAT | XML_SAVE_NO_DECL);
    if (!save) return std::nullopt;
    const long written = xmlSaveDoc(save, doc.get());
    xmlSaveClose(save);
    if (written < 0) return std::nullopt;
    return out;
}

std::string_view validUtf8(std::string_view text, std::string& repaired) {
    if (text::isValidUtf8(text)) return text;
    repaired = text::toUtf8(text::toUnicode(text));
    return repaired;
}

namespace {

// The first occurrence at or after from. The C library's search: the plain one stops at every
// copy of the first character, which in a document is every space, and a skipping search in C++
// moves a few bytes at a time where the library's moves a vector register's worth.
size_t findFrom(std::string_view text, std::string_view what, size_t from) {
    if (from > text.size()) return std::string_view::npos;
    const void* at = memmem(text.data() + from, text.size() - from, what.data(), what.size());
    return at ? static_cast<size_t>(static_cast<const char*>(at) - text.data()) : std::string_view::npos;
}

} // namespace

std::string replaceAll(std::string_view text, std::string_view what, std::string_view with) {
    std::string out;
    out.reserve(text.size());
    size_t last = 0;
    for (size_t at = findFrom(text, what, 0); at != std::string_view::npos; at = findFrom(text, what, last)) {
        out.append(text, last, at - last);
        out.append(with);
        last = at + what.size();
    }
    out.append(text, last, std::string_view::npos);
    return out;
}

std::string removeAll(std::string_view text, std::string_view what) { return replaceAll(text, what, ""); }

std::string_view normaliseDeclarationAndQuotes(std::string_view text, std::string& changed) {
    // In this order, each on the previous one's result; a step copies the whole text, so only a
    // step with something to replace runs. One search for what the two declarations share and
    // one for the lead byte of both quotes rule most texts out in two passes.
    static constexpr std::pair<std::string_view, std::string_view> steps[] = {
        {" encoding=\"utf-16\"", ""}, {" encoding=\"utf-8\"", ""}, {"\u201C", "\""}, {"\u201D", "\""}};
    const bool anyDeclaration = findFrom(text, " encoding=\"utf-", 0) != std::string_view::npos;
    const bool anyQuote = text.find(steps[2].first[0]) != std::string_view::npos;
    std::string_view current = text;
    for (size_t i = 0; i < std::size(steps); ++i) {
        if (!(i < 2 ? anyDeclaration : anyQuote)) continue;
        const auto& [what, with] = steps[i];
        if (findFrom(current, what, 0) == std::string_view::npos) continue;
        changed = replaceAll(current, what, with);
        current = changed;
    }
    return current;
}

} // namespace lexorra::data
