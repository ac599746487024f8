#pragma once

#include <QWidget>

#include <string>
#include <string_view>
#include <vector>

class QKeyEvent;
class QMimeData;
class QScrollBar;

namespace lexorra::shell {

// Shows a text whose lines are too long for the editor to lay out: the editor measures a whole
// line through the font engine each time it draws it or scrolls its caret into view, most of a
// second per megabyte. Here each line is cut into rows of as many characters as fit the width
// in cells of the font's digit width, and only the rows on screen are decoded and drawn. A bar
// above says so and offers to edit the text anyway.
//
//   LongLineView view(editor);
//   view.setText(editor->utf8Text());
//   view.setSelection(0, text.size());   // bytes, as the editor counts them
class LongLineView : public QWidget {
    Q_OBJECT

public:
    explicit LongLineView(QWidget* parent);

    // Whether some line of the text (in two blocks, as the editor keeps it) is longer than limit bytes.
    static bool hasLineLongerThan(std::string_view first, std::string_view second, size_t limit);

    void setText(std::string text);
    const std::string& text() const { return m_text; }
    // The byte range drawn as selected.
    void setSelection(size_t from, size_t to);
    // Scrolls so that the row holding this byte is on screen.
    void showOffset(size_t offset);
    // Up, Down, Page Up, Page Down, Home and End: true when the key scrolled.
    bool scrollByKey(const QKeyEvent* event);
    int firstRow() const;
    int rowCount() const;

signals:
    // The bar's "Edit Anyway".
    void editRequested();
    // Text dropped on the view, for the editor to take as a whole.
    void dropped(const QMimeData* data);
    void contextMenuRequested(const QPoint& globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Row {
        size_t from; // first byte
        size_t to;   // after the last byte
        size_t firstChar;
        size_t chars;
    };
    void index();
    void scrolled();
    void layoutRows();
    size_t byteOfChar(size_t character) const;
    size_t charOfByte(size_t byte) const;
    int rowOfChar(size_t character) const;
    Row row(int number) const;
    QRect textArea() const;
    int visibleRows() const;
    qreal cellWidth() const;
    int rowHeight() const;

    std::string m_text;
    // Per line: its first byte and its first character; one more entry for the end.
    std::vector<size_t> m_lineByte;
    std::vector<size_t> m_lineChar;
    // The byte of every checkpointStep-th character, so that a character is found by a short walk.
    std::vector<size_t> m_checkpoint;
    // Per line its first row at the current width; one more entry for the total.
    std::vector<int> m_lineRow;
    int m_columns = 0;
    size_t m_selectionFrom = 0;
    size_t m_selectionTo = 0;
    QWidget* m_bar;
    QScrollBar* m_scrollBar;
};

} // namespace lexorra::shell
