// The editor's texts with very long lines: shown by a LongLineView, and kept away from
// everything in the library that lays out the line of the caret (drawing, scrolling the caret
// into view, the input method's caret rectangle, a caret moved by a key).
#include "shell/CodeEditor.h"

#include "shell/LongLineView.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>

#include <algorithm>
#include <string_view>
#include <utility>

namespace lexorra::shell {

// Before the text lands: the mode is entered now when the insertion may make a long line, so
// that nothing draws the line or scrolls to it on the way. The library does not say what it
// inserts; a slice of a paste or a loaded text is known, anything else is judged by its length.
void CodeEditor::noteInsertion(long position, long length, bool undoing) {
    if (m_longLines) {
        m_longLinesMaybe = true;
        return;
    }
    const long line = SendScintilla(SCI_LINEFROMPOSITION, position);
    const long head = position - SendScintilla(SCI_POSITIONFROMLINE, line);
    const long tail = SendScintilla(SCI_GETLINEENDPOSITION, line) - position;
    const auto limit = static_cast<long>(longLineBytes);
    if (head + length + tail <= limit) return;
    m_longLinesMaybe = true;
    if (m_incoming.size() == static_cast<size_t>(length)) {
        // The inserted text's first line joins the head of the line it goes into, its last the tail.
        const size_t first = m_incoming.find('\n');
        const size_t last = m_incoming.rfind('\n');
        const bool longLine =
            first == std::string_view::npos || head + static_cast<long>(first) > limit ||
            static_cast<long>(m_incoming.size() - last - 1) + tail > limit ||
            LongLineView::hasLineLongerThan(m_incoming.substr(first + 1, last - first), {}, longLineBytes);
        if (!longLine) return;
    }
    if (m_longLinesDismissed) return;
    showLongLines(true);
    if (undoing) hideStyles(true);
}

void CodeEditor::noteDeletion(long position, long length) {
    // Removing a line end joins two lines.
    if (m_longLines ||
        SendScintilla(SCI_LINEFROMPOSITION, position) != SendScintilla(SCI_LINEFROMPOSITION, position + length))
        m_longLinesMaybe = true;
}

void CodeEditor::followLongLines() {
    if (!std::exchange(m_longLinesMaybe, false)) return;
    const long length = SendScintilla(SCI_GETLENGTH);
    const long gap = std::clamp(SendScintilla(SCI_GETGAPPOSITION), 0L, length);
    auto block = [this](long from, long count) {
        if (count == 0) return std::string_view();
        return std::string_view(reinterpret_cast<const char*>(SendScintilla(SCI_GETRANGEPOINTER, from, count)),
                                static_cast<size_t>(count));
    };
    const bool longLine = LongLineView::hasLineLongerThan(block(0, gap), block(gap, length - gap), longLineBytes);
    if (!longLine) m_longLinesDismissed = false;
    showLongLines(longLine && !m_longLinesDismissed);
    if (!m_longLines) return;
    m_longView->setText(utf8Text());
    m_longView->setSelection(static_cast<size_t>(SendScintilla(SCI_GETSELECTIONSTART)),
                             static_cast<size_t>(SendScintilla(SCI_GETSELECTIONEND)));
}

void CodeEditor::showLongLines(bool on) {
    if (on == m_longLines) return;
    m_longLines = on;
    if (on && !m_longView) {
        m_longView = new LongLineView(this);
        connect(m_longView, &LongLineView::editRequested, this, &CodeEditor::editLongLinesAnyway);
        connect(m_longView, &LongLineView::dropped, this, &CodeEditor::dropOnLongLines);
        connect(m_longView, &LongLineView::contextMenuRequested, this, &CodeEditor::showLongLinesMenu);
        // Tab goes from the text to the bar's button, not to the end of the window's order.
        if (auto* button = m_longView->findChild<QPushButton*>()) setTabOrder(this, button);
    }
    if (on) {
        m_longView->setAccessibleName(accessibleName());
        m_longView->setGeometry(contentsRect());
        m_longView->show();
        m_longView->raise();
    } else if (m_longView) {
        m_longView->hide();
        m_longView->setText({});
    }
    // Hidden, the library's view is neither drawn nor measured; the view has scroll bars of its own.
    viewport()->setVisible(!on);
    SendScintilla(SCI_SETHSCROLLBAR, on ? 0L : 1L);
    SendScintilla(SCI_SETVSCROLLBAR, on ? 0L : 1L);
    const WrapMode wrap = m_large || m_longLines ? WrapNone : m_wrapWanted;
    if (wrapMode() != wrap) QsciScintilla::setWrapMode(wrap);
    followAccessible();
}

void CodeEditor::editLongLinesAnyway() {
    m_longLinesDismissed = true;
    showLongLines(false);
    setFocus(Qt::OtherFocusReason);
}

// Unlike the library's selection calls, these two scroll nothing, and unlike the multiple
// selection ones they let the editor know that text is selected.
void CodeEditor::selectWithoutScrolling(long from, long to) {
    SendScintilla(SCI_SETSELECTIONSTART, from);
    SendScintilla(SCI_SETSELECTIONEND, to);
}

bool CodeEditor::wholeTextSelected() const {
    return SendScintilla(SCI_GETSELECTIONS) == 1 && SendScintilla(SCI_GETSELECTIONSTART) == 0 &&
           SendScintilla(SCI_GETSELECTIONEND) == SendScintilla(SCI_GETLENGTH);
}

// The keys of a read-only view: scrolling, selecting, copying, and replacing or removing the
// whole text. Any other key would move or type at a caret, and is dropped.
bool CodeEditor::longLinesKey(QKeyEvent* key) {
    if (key->matches(QKeySequence::SelectAll))
        selectAll();
    else if (key->matches(QKeySequence::Copy))
        copy();
    else if (key->matches(QKeySequence::Cut))
        cut();
    else if (key->matches(QKeySequence::Paste))
        paste();
    else if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace)
        removeSelectedText();
    else if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        QWidget::focusNextPrevChild(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
    else if (key->key() == Qt::Key_Escape)
        return false;
    else if (key->key() == Qt::Key_Menu)
        showLongLinesMenu(mapToGlobal(contentsRect().center()));
    else
        m_longView->scrollByKey(key);
    key->accept();
    return true;
}

void CodeEditor::selectAll(bool select) {
    QsciScintilla::selectAll(select);
    if (m_longLines)
        m_longView->setSelection(static_cast<size_t>(SendScintilla(SCI_GETSELECTIONSTART)),
                                 static_cast<size_t>(SendScintilla(SCI_GETSELECTIONEND)));
}

void CodeEditor::cut() {
    if (!m_longLines) {
        QsciScintilla::cut();
        return;
    }
    copy();
    removeSelectedText();
}

void CodeEditor::removeSelectedText() {
    if (m_longLines && !wholeTextSelected()) return;
    QsciScintilla::removeSelectedText();
}

void CodeEditor::ensureCursorVisible() {
    if (m_longLines)
        m_longView->showOffset(static_cast<size_t>(SendScintilla(SCI_GETCURRENTPOS)));
    else
        QsciScintilla::ensureCursorVisible();
}

void CodeEditor::showLongLinesMenu(const QPoint& globalPosition) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool replaceable = !isReadOnly() && wholeTextSelected();
    menu->addAction(tr("Select All"), this, [this] { selectAll(); });
    menu->addAction(tr("Copy"), this, &CodeEditor::copy)->setEnabled(hasSelectedText());
    menu->addAction(tr("Paste"), this, &CodeEditor::paste)->setEnabled(replaceable);
    menu->addAction(tr("Delete"), this, &CodeEditor::removeSelectedText)->setEnabled(replaceable);
    menu->addSeparator();
    menu->addAction(tr("Edit Anyway"), this, &CodeEditor::editLongLinesAnyway);
    menu->popup(globalPosition);
}

void CodeEditor::undo() {
    if (m_longLines) hideStyles(true);
    QsciScintilla::undo();

    hideStyles(false);
}

void CodeEditor::redo() {
    if (m_longLines) hideStyles(true);
    QsciScintilla::redo();
    hideStyles(false);
}

// Text of a hidden style takes no room, and the library measures none of it.
void CodeEditor::hideStyles(bool hidden) {
    if (hidden == m_stylesHidden) return;
    m_stylesHidden = hidden;
    for (long style = 0; style <= STYLE_MAX; ++style)
        SendScintilla(SCI_STYLESETVISIBLE, style, hidden ? 0L : 1L);
}

void CodeEditor::dropOnLongLines(const QMimeData* data) {
    if (isReadOnly() || !data->hasText()) return;
    selectAll();
    if (!pasteLargeText(data)) replaceSelectedText(data->text());
}

// The library's find selects a match through a call that scrolls the caret into view. Here
// the match is selected without, and shown by the view; a search begun here goes on here
// (a replacement may shorten the long line until the text is shown normally).
bool CodeEditor::findFirst(const QString& expr, bool re, bool cs, bool wo, bool wrap, bool forward, int line, int index,
                           bool show, bool posix, bool cxx11) {
    if (!m_longLines) {
        m_longFind = {};
        return QsciScintilla::findFirst(expr, re, cs, wo, wrap, forward, line, index, show, posix, cxx11);
    }
    m_longFind = {expr.toUtf8(),
                  (cs ? SCFIND_MATCHCASE : 0) | (wo ? SCFIND_WHOLEWORD : 0) | (re ? SCFIND_REGEXP : 0) |
                      (posix ? SCFIND_POSIX : 0) | (cxx11 ? SCFIND_CXX11REGEX : 0),
                  forward, wrap};
    // Callers pass the start of the text or of the selection; a line and index are turned into
    // a position a character at a time, a long walk on a long line.
    const long from =
        line == 0 && index == 0 ? 0 : SendScintilla(forward ? SCI_GETSELECTIONEND : SCI_GETSELECTIONSTART);
    return findInLongLines(from);
}

bool CodeEditor::findNext() {
    if (m_longFind.text.isEmpty()) return QsciScintilla::findNext();
    return findInLongLines(SendScintilla(m_longFind.forward ? SCI_GETSELECTIONEND : SCI_GETSELECTIONSTART));
}

bool CodeEditor::findInLongLines(long from) {
    if (m_longFind.text.isEmpty()) return false;
    SendScintilla(SCI_SETSEARCHFLAGS, static_cast<long>(m_longFind.flags));
    const long length = SendScintilla(SCI_GETLENGTH);
    auto search = [this](long start, long end) {
        SendScintilla(SCI_SETTARGETSTART, start);
        SendScintilla(SCI_SETTARGETEND, end);
        return SendScintilla(SCI_SEARCHINTARGET, static_cast<unsigned long>(m_longFind.text.size()),
                             m_longFind.text.constData());
    };
    long found = m_longFind.forward ? search(from, length) : search(from, 0);
    if (found < 0 && m_longFind.wrap) found = m_longFind.forward ? search(0, from) : search(length, from);
    if (found < 0) return false;
    const long end = SendScintilla(SCI_GETTARGETEND);
    selectWithoutScrolling(found, end);
    if (m_longLines) {
        m_longView->setSelection(static_cast<size_t>(found), static_cast<size_t>(end));
        m_longView->showOffset(static_cast<size_t>(found));
    } else {
        SendScintilla(SCI_SCROLLCARET);
    }
    return true;
}

void CodeEditor::replace(const QString& replaceStr) {
    if (m_longFind.text.isEmpty()) {
        QsciScintilla::replace(replaceStr);
        return;
    }
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    if (isReadOnly() || start == SendScintilla(SCI_GETSELECTIONEND)) return;
    SendScintilla(SCI_TARGETFROMSELECTION);
    const QByteArray with = replaceStr.toUtf8();
    const long length = SendScintilla((m_longFind.flags & SCFIND_REGEXP) ? SCI_REPLACETARGETRE : SCI_REPLACETARGET,
                                      static_cast<unsigned long>(with.size()), with.constData());
    selectWithoutScrolling(start, start + length);
}

void CodeEditor::resizeEvent(QResizeEvent* event) {
    QsciScintilla::resizeEvent(event);
    if (m_longView) m_longView->setGeometry(contentsRect());
}

QVariant CodeEditor::inputMethodQuery(Qt::InputMethodQuery query) const {
    // The library answers with the caret's rectangle and the text around it: the line measured
    // and converted whole.
    if (m_longLines) return QWidget::inputMethodQuery(query);
    return QsciScintilla::inputMethodQuery(query);
}

} // namespace lexorra::shell
