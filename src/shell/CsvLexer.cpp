#include "shell/CsvLexer.h"

#include <Qsci/qsciscintilla.h>

#include <array>

namespace lexorra::shell {
namespace {

// The state at the end of each line is kept in Scintilla's per-line state, so that styling
// can restart at any line: the column in the upper bits, "inside quotes" in bit 0.
int packState(int column, bool quoted) { return (column << 1) | (quoted ? 1 : 0); }

} // namespace

CsvLexer::CsvLexer(QObject* parent) : QsciLexerCustom(parent) {}

QString CsvLexer::description(int style) const {
    if (style == defaultStyle) return QStringLiteral("Default");
    if (style >= firstColumn && style < firstColumn + columnStyles)
        return QStringLiteral("Column %1").arg(style - firstColumn + 1);
    if (style == delimiter) return QStringLiteral("Delimiter");
    if (style == quote) return QStringLiteral("Quote");
    return {};
}

char CsvLexer::detectDelimiter(const QByteArray& firstLine) {
    constexpr std::array candidates{',', ';', '\t', '|'};
    std::array<int, candidates.size()> counts{};
    bool quoted = false;
    for (char c : firstLine) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        for (size_t i = 0; i < candidates.size(); ++i)
            if (c == candidates[i]) ++counts[i];
    }
    size_t best = 0;
    for (size_t i = 1; i < candidates.size(); ++i)
        if (counts[i] > counts[best]) best = i;
    return counts[best] > 0 ? candidates[best] : ',';
}

QByteArray CsvLexer::styleBytes(const QByteArray& text, char delim, int& column, bool& quoted) {
    QByteArray styles(text.size(), char(defaultStyle));
    bool atFieldStart = !quoted;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char columnStyle = char(firstColumn + column % columnStyles);
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    styles[i] = styles[i + 1] = columnStyle;
                    ++i;
                    continue;
                }
                quoted = false;
                styles[i] = char(quote);
                continue;
            }
            styles[i] = columnStyle;
            continue;
        }
        if (c == '\n' || c == '\r') {
            column = 0;
            atFieldStart = true;
            continue;
        }
        if (c == delim) {
            styles[i] = char(delimiter);
            ++column;
            atFieldStart = true;
            continue;
        }
        if (c == '"' && atFieldStart) {
            quoted = true;
            atFieldStart = false;
            styles[i] = char(quote);
            continue;
        }
        atFieldStart = false;
        styles[i] = columnStyle;
    }
    return styles;
}

void CsvLexer::styleText(int start, int end) {
    QsciScintilla* ed = editor();
    if (!ed || start >= end) return;
    const int line = int(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start));
    const int from = int(ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line));
    if (line == 0) {
        const int firstEnd = int(ed->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, 0L));
        m_delimiter = detectDelimiter(ed->bytes(0, firstEnd).chopped(1));
    }
    int column = 0;
    bool quoted = false;
    if (line > 0) {
        const int state = int(ed->SendScintilla(QsciScintillaBase::SCI_GETLINESTATE, line - 1));
        column = state >> 1;
        quoted = state & 1;
    }
    // Style whole lines so that each one's end state can be recorded.
    const int lastLine = int(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, end));
    startStyling(from);
    for (int l = line; l <= lastLine; ++l) {
        const int lineStart = int(ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, l));
        const int lineEnd = int(ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, l + 1));
        const int stop = lineEnd > lineStart ? lineEnd : int(ed->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
        if (stop <= lineStart) break;
        // bytes() appends a terminating NUL.
        const QByteArray text = ed->bytes(lineStart, stop).chopped(1);
        const QByteArray styles = styleBytes(text, m_delimiter, column, quoted);
        qsizetype run = 0;
        for (qsizetype i = 0; i <= styles.size(); ++i) {
            if (i == styles.size() || (i > run && styles[i] != styles[run])) {
                if (i > run) setStyling(int(i - run), styles[run]);
                run = i;
            }
        }
        ed->SendScintilla(QsciScintillaBase::SCI_SETLINESTATE, l, long(packState(column, quoted)));
    }
}

} // namespace lexorra::shell
