#pragma once

#include <Qsci/qscilexercustom.h>

namespace lexorra::shell {

// Colours delimiter-separated text by column, so that a cell's column can be told at a
// glance: each column in one of six cycling colours, the delimiters and the quotes of quoted
// fields dimmed. A quoted field may hold delimiters and line breaks ("" is a quote inside).
// The delimiter is the most frequent of , ; tab | in the first line, outside quotes.
class CsvLexer : public QsciLexerCustom {
    Q_OBJECT

public:
    enum Style { defaultStyle = 0, firstColumn = 1, columnStyles = 6, delimiter = 7, quote = 8 };

    explicit CsvLexer(QObject* parent = nullptr);

    const char* language() const override { return "CSV"; }
    QString description(int style) const override;
    void styleText(int start, int end) override;

    // The delimiter found in the text's first line (',' when it has none).
    static char detectDelimiter(const QByteArray& firstLine);
    // Styles for a piece of text that starts in column `column`, inside a quoted field
    // when `quoted`; both are updated to where the piece ends. One style per byte.
    static QByteArray styleBytes(const QByteArray& text, char delimiter, int& column, bool& quoted);

private:
    char m_delimiter = ',';
};

} // namespace lexorra::shell
