#include "shell/LongLineView.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <cstring>

namespace lexorra::shell {
namespace {

constexpr size_t checkpointStep = 1024;
constexpr int margin = 10;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Where the character after the one starting at `at` starts. A character is a byte that does
// not continue a sequence, the first byte of a line, or the fourth continuation in a row: stray
// bytes of broken text still take a cell each now and then, and no walk runs on unbounded.
size_t nextCharacter(std::string_view text, size_t at) {
    size_t next = at + 1;
    for (int run = 0; next < text.size() && run < 3 && isContinuation(static_cast<unsigned char>(text[next])) &&
                      text[next - 1] != '\n';
         ++run)
        ++next;
    return next;
}

// Control characters as their pictures: drawn raw they would move the pen or vanish.
QString shown(std::string_view bytes) {
    QString s = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    for (QChar& c : s) {
        if (c.unicode() < 0x20)
            c = QChar(char16_t(0x2400 + c.unicode()));
        else if (c.unicode() == 0x7F)
            c = QChar(char16_t(0x2421));
    }
    return s;
}

QFont cellFont(const QFont& font) {
    if (QFontInfo(font).fixedPitch()) return font;
    // The simple editor's font is proportional; cells want fixed widths.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(font.pointSizeF());
    return fixed;
}

} // namespace

LongLineView::LongLineView(QWidget* parent) : QWidget(parent) {
    setObjectName("longLineView");
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The editor keeps the keyboard, so that the window's commands still find it.
    setFocusPolicy(Qt::NoFocus);
    setAcceptDrops(true);
    m_bar = new QWidget(this);
    m_bar->setObjectName("longLinesBar");
    m_bar->setAutoFillBackground(true);
    m_bar->setBackgroundRole(QPalette::ToolTipBase);
    m_bar->setForegroundRole(QPalette::ToolTipText);
    auto* layout = new QHBoxLayout(m_bar);
    layout->setContentsMargins(margin, 3, 6, 3);
    auto* notice = new QLabel(tr("Very long lines: shown wrapped and read-only."), m_bar);
    notice->setForegroundRole(QPalette::ToolTipText);
    auto* edit = new QPushButton(tr("Edit Anyway"), m_bar);
    edit->setObjectName("editAnywayPushButton");
    edit->setToolTip(tr("Edit in the normal editor; the window pauses while it measures the long lines"));
    layout->addWidget(notice, 1);
    layout->addWidget(edit);
    connect(edit, &QPushButton::clicked, this, &LongLineView::editRequested);
    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    m_scrollBar->setFocusPolicy(Qt::NoFocus);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &LongLineView::scrolled);
    index();
}

void LongLineView::scrolled() {
    update();
    // What a screen reader can read: the rows on screen.
    QString rows;
    for (int r = firstRow(); r < std::min(rowCount(), firstRow() + visibleRows()); ++r) {
        const Row at = row(r);
        rows += shown(std::string_view(m_text).substr(at.from, at.to - at.from)) + u'\n';
    }
    setAccessibleDescription(tr("Very long lines, shown wrapped and read-only.") + u'\n' + rows);
}

bool LongLineView::hasLineLongerThan(std::string_view first, std::string_view second, size_t limit) {
    size_t run = 0;
    for (std::string_view block : {first, second}) {
        const char* at = block.data();
        const char* end = at + block.size();
        while (at < end) {
            const auto* lineFeed = static_cast<const char*>(std::memchr(at, '\n', size_t(end - at)));
            run += size_t((lineFeed ? lineFeed : end) - at);
            if (run > limit) return true;
            if (!lineFeed) break;
            run = 0;
            at = lineFeed + 1;
        }
    }
    return false;
}

void LongLineView::setText(std::string text) {
    m_text = std::move(text);
    m_selectionFrom = m_selectionTo = 0;
    index();
    m_columns = 0;
    layoutRows();
    m_scrollBar->setValue(0);
    scrolled();
}

void LongLineView::index() {
    const std::string_view text = m_text;
    m_lineByte.assign(1, 0);
    m_lineChar.assign(1, 0);
    m_checkpoint.clear();
    size_t chars = 0;
    int run = 0;
    bool lineStart = true;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (!isContinuation(byte) || lineStart || run == 3) {
            if (chars % checkpointStep == 0) m_checkpoint.push_back(i);
            ++chars;
            run = 0;
        } else {
            ++run;
        }
        lineStart = byte == '\n';
        if (lineStart) {
            m_lineByte.push_back(i + 1);
            m_lineChar.push_back(chars);
        }
    }
    if (chars % checkpointStep == 0) m_checkpoint.push_back(text.size());
    m_lineByte.push_back(text.size());
    m_lineChar.push_back(chars);
}

size_t LongLineView::byteOfChar(size_t character) const {
    const size_t k = std::min(character / checkpointStep, m_checkpoint.size() - 1);
    size_t byte = m_checkpoint[k];
    for (size_t c = k * checkpointStep; c < character && byte < m_text.size(); ++c)
        byte = nextCharacter(m_text, byte);
    return byte;
}

size_t LongLineView::charOfByte(size_t byte) const {
    const auto k = size_t(std::upper_bound(m_checkpoint.begin(), m_checkpoint.end(), byte) - m_checkpoint.begin()) - 1;
    size_t character = k * checkpointStep;
    for (size_t at = m_checkpoint[k]; at < m_text.size();) {
        const size_t next = nextCharacter(m_text, at);
        if (next > byte) break;
        at = next;
        ++character;
    }
    return character;
}

void LongLineView::layoutRows() {
    const int columns = std::max(1, int(textArea().width() / cellWidth()));
    if (columns != m_columns) {
        // The row at the top stays at the top.
        const size_t anchor = m_columns > 0 && rowCount() > 0 ? row(firstRow()).firstChar : 0;
        m_columns = columns;
        const size_t lines = m_lineByte.size() - 1;
        m_lineRow.resize(lines + 1);
        long long rows = 0;
        for (size_t line = 0; line <= lines; ++line) {
            m_lineRow[line] = int(std::min<long long>(rows, INT_MAX / 2));
            if (line == lines) break;
            const size_t chars = m_lineChar[line + 1] - m_lineChar[line] - (line + 1 < lines ? 1 : 0);
            rows += std::max<long long>(1, (static_cast<long long>(chars) + columns - 1) / columns);
        }
        m_scrollBar->setRange(0, std::max(0, rowCount() - visibleRows()));
        m_scrollBar->setValue(rowOfChar(anchor));
    }
    m_scrollBar->setRange(0, std::max(0, rowCount() - visibleRows()));
    m_scrollBar->setPageStep(visibleRows());
}

int LongLineView::rowOfChar(size_t character) const {
    const auto line =
        size_t(std::upper_bound(m_lineChar.begin(), m_lineChar.end() - 1, character) - m_lineChar.begin()) - 1;
    const int last = std::max(m_lineRow[line], m_lineRow[line + 1] - 1);
    return std::min(last, m_lineRow[line] + int((character - m_lineChar[line]) / size_t(m_columns)));
}

LongLineView::Row LongLineView::row(int number) const {
    const auto line = size_t(std::upper_bound(m_lineRow.begin(), m_lineRow.end() - 1, number) - m_lineRow.begin()) - 1;
    const size_t lines = m_lineByte.size() - 1;
    const size_t chars = m_lineChar[line + 1] - m_lineChar[line] - (line + 1 < lines ? 1 : 0);
    const size_t into = size_t(number - m_lineRow[line]) * size_t(m_columns);
    const size_t count = std::min(size_t(m_columns), chars - std::min(chars, into));
    const size_t first = m_lineChar[line] + into;
    const size_t from = byteOfChar(first);
    size_t to = from;
    for (size_t c = 0; c < count && to < m_text.size(); ++c)
        to = nextCharacter(m_text, to);
    return {from, to, first, count};
}

void LongLineView::setSelection(size_t from, size_t to) {
    m_selectionFrom = std::min(from, m_text.size());
    m_selectionTo = std::clamp(to, m_selectionFrom, m_text.size());
    update();
}

void LongLineView::showOffset(size_t offset) {
    if (m_columns <= 0) return;
    const int at = rowOfChar(charOfByte(std::min(offset, m_text.size())));
    if (at < firstRow())
        m_scrollBar->setValue(at);
    else if (at >= firstRow() + visibleRows())
        m_scrollBar->setValue(at - visibleRows() + 1);
}

int LongLineView::firstRow() const {
    return m_scrollBar->value();
}

int LongLineView::rowCount() const {
    return m_lineRow.empty() ? 0 : m_lineRow.back();
}

bool LongLineView::scrollByKey(const QKeyEvent* event) {
    const int page = std::max(1, visibleRows() - 1);
    int to = firstRow();
    switch (event->key()) {
    case Qt::Key_Up:
        to -= 1;
        break;
    case Qt::Key_Down:
        to += 1;
        break;
    case Qt::Key_PageUp:
        to -= page;
        break;
    case Qt::Key_PageDown:
        to += page;
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = m_scrollBar->maximum();
        break;
    default:
        return false;
    }
    m_scrollBar->setValue(to);
    return true;
}

qreal LongLineView::cellWidth() const {
    // Fractional: glyphs are placed at their exact advances, and rounding would misplace the
    // end of a long row by several cells.
    return std::max(1.0, QFontMetricsF(cellFont(font())).horizontalAdvance(u'0'));
}

int LongLineView::rowHeight() const {
    return std::max(1, QFontMetrics(cellFont(font())).lineSpacing());
}

QRect LongLineView::textArea() const {
    const int top = m_bar->isVisible() ? m_bar->height() : 0;
    return QRect(margin, top + 2, width() - margin - m_scrollBar->width() - 2, height() - top - 2);
}

int LongLineView::visibleRows() const {
    return std::max(1, textArea().height() / rowHeight());
}

void LongLineView::resizeEvent(QResizeEvent*) {
    const int bar = m_bar->sizeHint().height();
    m_bar->setGeometry(0, 0, width(), bar);
    m_scrollBar->setGeometry(width() - m_scrollBar->sizeHint().width(), bar, m_scrollBar->sizeHint().width(),
                             height() - bar);
    layoutRows();
}

void LongLineView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) layoutRows();
}

void LongLineView::wheelEvent(QWheelEvent* event) {
    // Three rows a notch, as the editor scrolls.
    m_scrollBar->setValue(firstRow() - event->angleDelta().y() / 40);
    event->accept();
}

void LongLineView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasText()) event->acceptProposedAction();
}

void LongLineView::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasText()) event->acceptProposedAction();
}

void LongLineView::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    emit dropped(event->mimeData());
}

void LongLineView::contextMenuEvent(QContextMenuEvent* event) {
    // Not the editor's own menu: its commands act at a caret.
    emit contextMenuRequested(event->globalPos());
    event->accept();
}

void LongLineView::mousePressEvent(QMouseEvent* event) {
    if (parentWidget()) parentWidget()->setFocus(Qt::MouseFocusReason);
    event->accept();
}

void LongLineView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QFont font = cellFont(this->font());
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const QRect area = textArea();
    const int height = rowHeight();
    const size_t selectedFrom = m_selectionFrom < m_selectionTo ? charOfByte(m_selectionFrom) : 0;
    const size_t selectedTo = m_selectionFrom < m_selectionTo ? charOfByte(m_selectionTo) : 0;
    painter.setClipRect(area.adjusted(-margin, 0, 0, 0));
    for (int r = 0; r <= visibleRows() && firstRow() + r < rowCount(); ++r) {
        const Row at = row(firstRow() + r);
        const QString text = shown(std::string_view(m_text).substr(at.from, at.to - at.from));
        const int y = area.top() + r * height;
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(QPointF(area.left(), y + metrics.ascent()), text);
        const size_t end = at.firstChar + at.chars;
        const size_t from = std::max(selectedFrom, at.firstChar);
        const size_t to = std::min(selectedTo, end);
        // A selection that goes on past the row is drawn to its right edge.
        const bool onward = selectedTo > end;
        if (from > to || (from == to && !onward)) continue;
        // Where a character starts as drawn: wide and fallback glyphs take more than a cell.
        auto xOf = [&](size_t characters) {
            qsizetype i = 0;
            for (size_t c = 0; c < characters && i < text.size(); ++c)
                i += text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            return area.left() + metrics.horizontalAdvance(text.left(i));
        };
        const qreal right = onward ? qreal(area.right()) : xOf(to - at.firstChar);
        const QRectF selected(QPointF(xOf(from - at.firstChar), y), QPointF(right, y + height));
        painter.save();
        painter.setClipRect(selected & QRectF(area));
        painter.fillRect(selected, palette().color(QPalette::Highlight));
        painter.setPen(palette().color(QPalette::HighlightedText));
        painter.drawText(QPointF(area.left(), y + metrics.ascent()), text);
        painter.restore();
    }
}

} // namespace lexorra::shell
