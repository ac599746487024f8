#include "actions/lines/TextActionInsertText.h"

#include "core/TextActionSeq.h"
#include "text/Cancellation.h"
#include "text/GraphemeCursor.h"
#include "text/LineFeedEscape.h"
#include "text/Lines.h"
#include "text/LiteralSearch.h"
#include "text/Utf.h"

#include <algorithm>

namespace lexorra {
namespace {

// Calls f(line) for every piece between line feeds, empty pieces included, and writes a
// line feed between the pieces' outputs.
template <class F> std::string mapLines(std::string_view text, size_t extra, F f) {
    std::string out;
    out.reserve(text.size() + extra);
    size_t start = 0;
    while (true) {
        const size_t lineFeed = text.find('\n', start);
        const size_t end = lineFeed == std::string_view::npos ? text.size() : lineFeed;
        f(text.substr(start, end - start), out);
        if (lineFeed == std::string_view::npos) return out;
        out += '\n';
        start = lineFeed + 1;
    }
}

size_t lineCount(std::string_view text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1; }

// Byte length of the whitespace-or-newline character at i, or 0 when there is none.
size_t whitespaceLength(std::string_view s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) return c == ' ' || (c >= 0x09 && c <= 0x0D) ? 1 : 0;
    size_t next = i;
    return text::isWhitespaceOrNewline(text::nextCodePoint(s, next)) ? next - i : 0;
}

std::string insertAtPosition(std::string_view text, std::string_view insertion, std::int64_t position) {
    // A stored position below 1 would point before the line: it inserts at the start.
    const size_t index = position <= 1 ? 0 : static_cast<size_t>(position - 1);
    text::GraphemeCursor cursor;
    return mapLines(text, lineCount(text) * insertion.size(), [&](std::string_view line, std::string& out) {
        cursor.reset(line);
        const size_t at = cursor.advance(index);
        out.append(line, 0, at);
        out += insertion;
        out.append(line, at, std::string_view::npos);
    });
}

std::string insertAroundWords(std::string_view text, std::string_view insertion, bool before) {
    return mapLines(text, text.size() / 4 * insertion.size(), [&](std::string_view line, std::string& out) {
        const size_t lineStart = out.size();
        size_t i = 0;
        while (i < line.size()) {
            const size_t gap = whitespaceLength(line, i);
            if (gap) {
                out.append(line, i, gap);
                i += gap;
                continue;
            }
            if (runIsStale()) {
                out.resize(lineStart);
                // The line that noticed the stale run says so; the run's result is never shown.
                out += cancellationMarker;
                return;
            }
            size_t end = i;
            while (end < line.size() && !whitespaceLength(line, end)) {
                const auto c = static_cast<unsigned char>(line[end]);
                if (c < 0x80) ++end;
                else text::nextCodePoint(line, end);
            }
            if (before) out += insertion;
            out.append(line, i, end - i);
            if (!before) out += insertion;
            i = end;
        }
    });
}

std::string insertAfterEveryCharacter(std::string_view text, std::string_view insertion) {
    std::string out;
    out.reserve(text.size() * (1 + insertion.size()));
    text::GraphemeCursor cursor;
    cursor.reset(text);
    size_t start = 0;
    for (size_t end = cursor.next(); end != text::GraphemeCursor::npos; end = cursor.next()) {
        out.append(text, start, end - start);
        out += insertion;
        start = end;
    }
    return out;
}

} // namespace

const OptionList& TextActionInsertText::options() const {
    using A = TextActionInsertText;
    const auto shownFor = [](InsertTextType t) {
        return [t](const TextAction& a) { return static_cast<const A&>(a).insertType == t; };
    };
    // The anchor field carries a different label for each of its two cases, so it is declared
    // once per case under the same key; only one of the two is ever visible.
    static const OptionList decls = {
        bind({.key = "InsetText", .label = "Insert Text:", .hint = "\\n is a line break"}, &A::insetText),
        bind({.key = "InsetBeforeAfterText", .label = "Before Text:", .visible = shownFor(InsertTextType::beforeText)},
             &A::insetBeforeAfterText),
        bind({.key = "InsetBeforeAfterText", .label = "After Text:", .visible = shownFor(InsertTextType::afterText)},
             &A::insetBeforeAfterText),
        bind({.key = "InsertType",
              .label = "Insert:",
              .kind = OptionKind::menu,
              .cases = {{0, "atFirstLine", "first line"},
                        {1, "atLastLine", "last line"},
                        {2, "atPosition", "every line (position) "},
                        {3, "beforeEveryWord", "before every word"},
                        {4, "afterEveryWord", "after every word"},
                        {5, "beforeText", "before text"},
                        {6, "afterText", "after text"},
                        {7, "afterEveryCharacter", "after every character"}}},
             &A::insertType),
        bind({.key = "Position",
              .label = "Position:",
              .kind = OptionKind::stepper,
              .minimum = 1,
              .maximum = 1211,
              .step = 1,
              .visible = shownFor(InsertTextType::atPosition)},
             &A::position),
    };
    return decls;
}

std::string TextActionInsertText::transform(std::string_view text) const {
    const std::string insertion = text::expandBackslashN(insetText);
    switch (insertType) {
    case InsertTextType::atFirstLine: return insertion + '\n' + std::string(text);
    case InsertTextType::atLastLine: return std::string(text) + '\n' + insertion;
    case InsertTextType::atPosition: return insertAtPosition(text, insertion, position);
    case InsertTextType::beforeEveryWord: return insertAroundWords(text, insertion, true);
    case InsertTextType::afterEveryWord: return insertAroundWords(text, insertion, false);
    case InsertTextType::beforeText:
        if (insetBeforeAfterText.empty()) return std::string(text);
        return text::replaceLiteral(text, insetBeforeAfterText, insertion + insetBeforeAfterText, false);
    case InsertTextType::afterText:
        if (insetBeforeAfterText.empty()) return std::string(text);
        return text::replaceLiteral(text, insetBeforeAfterText, insetBeforeAfterText + insertion, false);
    case InsertTextType::afterEveryCharacter: return insertAfterEveryCharacter(text, insertion);
    }
    return std::string(text);
}

LEXORRA_ACTION_FACTORY(TextActionInsertText)

} // namespace lexorra
