#include "actions/lines/TextActionBreakLines.h"

#include "text/ClusterWalker.h"
#include "text/Lines.h"
#include "text/LiteralSearch.h"
#include "text/Utf.h"

#include <unicode/uchar.h>

namespace lexorra {
namespace {

bool isPunctuation(char32_t c) {
    constexpr uint32_t punctuation =
        U_GC_PC_MASK | U_GC_PD_MASK | U_GC_PS_MASK | U_GC_PE_MASK | U_GC_PI_MASK | U_GC_PF_MASK | U_GC_PO_MASK;
    return (U_GET_GC_MASK(static_cast<UChar32>(c)) & punctuation) != 0;
}

bool isWordSeparator(char32_t c) { return text::isWhitespaceOrNewline(c) || isPunctuation(c); }

bool isSentenceEnd(char32_t c) { return c == '.' || c == '?' || c == '!' || c == ';'; }

// Splits at every separator code point and writes the first piece if it has text, then
// each further piece that has text on a line of its own. A text that opens with a
// separator therefore opens with a line feed.
template <class IsSeparator> std::string piecesOnLines(std::string_view text, IsSeparator isSeparator) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    bool first = true;
    size_t start = 0;
    auto emit = [&](size_t end) {
        if (end > start) {
            if (!first) out += '\n';
            out.append(text, start, end - start);
        }
        first = false;
    };
    size_t i = 0;
    while (i < text.size()) {
        const size_t at = i;
        if (isSeparator(text::nextCodePoint(text, i))) {
            emit(at);
            start = i;
        }
    }
    emit(text.size());
    return out;
}

bool isLineBreak(char32_t c) { return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029; }

std::string everyCharacterOnALine(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    if (text::isAscii(text)) {
        for (size_t i = 0; i < text.size(); ++i) {
            out += text[i];
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') out += text[++i];
            else if (!isLineBreak(static_cast<unsigned char>(text[i]))) out += '\n';
        }
        return out;
    }
    text::ClusterWalker walker;
    const auto& bounds = walker.boundaries(text);
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        const std::string_view cluster = text.substr(bounds[k], bounds[k + 1] - bounds[k]);
        out += cluster;
        size_t i = 0;
        if (!isLineBreak(text::nextCodePoint(cluster, i))) out += '\n';
    }
    return out;
}

std::string chunkedLines(std::string_view text, std::int64_t position) {
    // The panel never stores less than 1; a stored 0 or less cannot shorten a line.
    if (position <= 0) return std::string(text);
    const auto width = static_cast<size_t>(position);
    text::ClusterWalker walker;
    std::string out;
    out.reserve(text.size() + text.size() / width + 1);
    bool firstLine = true;
    for (auto line : text::splitLines(text)) {
        if (!firstLine) out += '\n';
        firstLine = false;
        if (line.size() <= width) { // fewer bytes than the width: no more clusters either
            out += line;
            continue;
        }
        const auto& bounds = walker.boundaries(line);
        const size_t clusters = bounds.size() - 1;
        for (size_t from = 0; from < clusters; from += width) {
            if (from > 0) out += '\n';
            const size_t to = std::min(clusters, from + width);
            out.append(line, bounds[from], bounds[to] - bounds[from]);
        }
    }
    return out;
}

} // namespace

const OptionList& TextActionBreakLines::options() const {
    using A = TextActionBreakLines;
    using T = BreakLinesActionTypes;
    static const OptionList decls = {
        bind({.key = "CharacterForBreak",
              .label = "Text:",
              .visible =
                  [](const TextAction& a) {
                      const auto type = static_cast<const A&>(a).actionType;
                      return type == T::afterChar || type == T::beforeChar;
                  }},
             &A::characterForBreak),
        bind({.key = "ActionType",
              .label = "Break:",
              .kind = OptionKind::menu,
              .cases = {{0, "afterEveryWord", "after every word"},
                        {1, "afterEverySentence", "after every sentence"},
                        {2, "afterChar", "after text"},
                        {3, "beforeChar", "before text"},
                        {4, "afterEveryChar", "after every character"},
                        {5, "atMaxPosition", "after number of characters"}}},
             &A::actionType),
        bind({.key = "Position",
              .label = "Number:",
              .kind = OptionKind::stepper,
              .minimum = 1,
              .maximum = 44444412,
              .step = 1,
              .visible = [](const TextAction& a) { return static_cast<const A&>(a).actionType == T::atMaxPosition; }},
             &A::position),
    };
    return decls;
}

std::string TextActionBreakLines::transform(std::string_view text) const {
    switch (actionType) {
    case BreakLinesActionTypes::afterEveryWord: return piecesOnLines(text, isWordSeparator);
    case BreakLinesActionTypes::afterEverySentence: return piecesOnLines(text, isSentenceEnd);
    case BreakLinesActionTypes::afterChar:
        if (characterForBreak.empty()) return std::string(text);
        return text::replaceLiteral(text, characterForBreak, characterForBreak + "\n", false);
    case BreakLinesActionTypes::beforeChar:
        if (characterForBreak.empty()) return std::string(text);
        return text::replaceLiteral(text, characterForBreak, "\n" + characterForBreak, false);
    case BreakLinesActionTypes::afterEveryChar: return everyCharacterOnALine(text);
    case BreakLinesActionTypes::atMaxPosition: return chunkedLines(text, position);
    }
    return std::string(text);
}

LEXORRA_ACTION_FACTORY(TextActionBreakLines)

} // namespace lexorra
