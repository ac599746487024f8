#pragma once

#include "shell/SyntaxMode.h"

#include <Qsci/qsciscintilla.h>

#include <QTimer>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QsciLexer;
class QMenu;
class QMimeData;

namespace lexorra::shell {

class LongLineView;

// The input and result editors: QScintilla with a syntax mode picked automatically from the
// active sequence or fixed by the user, colours taken from the palette, and a simple mode
// that is a plain text field. Texts above largeTextBytes are shown plain and unwrapped:
// colouring and wrapping several megabytes would hold up the window for seconds. Their edits
// are announced (textChanged) once the event that made them is handled, and screen readers
// see them as a named edit field without character offsets: both of the library's ways cost
// a walk from the start of the text to the caret, at every keystroke and every repaint.
//
//   CodeEditor editor;
//   editor.setAutomaticMode(SyntaxMode::json);   // what the active action produces
//   editor.setModeOverride(SyntaxMode::yaml);    // the user knows better
//   editor.effectiveMode();                      // yaml, unless simple or too large
//
// A text with a line longer than longLineBytes is shown by a light view instead, wrapped and
// read-only: the library measures a whole line each time it draws it or scrolls its caret into
// view, seconds for a line of megabytes. The document keeps the text, so reading, copying,
// finding and replacing it as a whole work as before.
class CodeEditor : public QsciScintilla {
    Q_OBJECT

public:
    explicit CodeEditor(QWidget* parent = nullptr);
    ~CodeEditor() override;

    static constexpr int largeTextBytes = 1'000'000;
    // About how much of a large text goes in per turn of the event loop (characters of a
    // paste, bytes of a loaded text); lines are never split.
    static constexpr qsizetype sliceLength = 512 * 1024;

    // About the longest line the library lays out within a frame (some 0.7 µs a character).
    static constexpr size_t longLineBytes = 24 * 1024;

    void setAutomaticMode(SyntaxMode mode);
    SyntaxMode automaticMode() const { return m_automatic; }
    // Empty means Automatic.
    void setModeOverride(std::optional<SyntaxMode> mode);
    std::optional<SyntaxMode> modeOverride() const { return m_override; }
    // The mode the user or the sequence asks for.
    SyntaxMode chosenMode() const { return m_override.value_or(m_automatic); }
    // The mode drawn: the chosen one, or plain in simple mode and for large texts.
    SyntaxMode effectiveMode() const { return m_effective; }
    bool isLargeText() const { return m_large; }
    bool showsLongLines() const { return m_longLines; }
    // The normal editor for the text at hand, whatever its lines; a new text decides again.
    void editLongLinesAnyway();

    // No colouring, no line numbers or folding, the interface font.
    void setSimple(bool simple);
    bool isSimple() const { return m_simple; }
    // Line numbers when not simple.
    void setLineNumbersWanted(bool wanted);
    // A fixed-width font even in simple mode (tables laid out with spaces need one).
    void setMonospacedWanted(bool wanted);

    // Unbinds the editor's own commands from these keys: a window shortcut must win over
    // them (Ctrl+U would lowercase the selection instead of using the result as input).
    void releaseKeys(const QList<QKeySequence>& taken);

    // The lexer in use (nullptr when plain): for tests and for the palette.
    QsciLexer* currentLexer() const { return lexer(); }

    // A large text goes into the document a slice per turn of the event loop; a keystroke, a
    // click, a new text, a new paste or a read of the text first puts in the rest. A paste is
    // one step to undo and is announced when it has landed.
    void paste() override;
    // As setUtf8Text, for a text the owner already holds: its arrival is not announced.
    void loadUtf8Text(std::string text);
    bool loading() const { return m_loaded < (m_pasteRest.isEmpty() ? qsizetype(m_loadRest.size()) : m_pasteRest.size()); }
    void finishLoading();
    void setText(const QString& text) override;
    // The text as the editor holds it, UTF-8, without a round trip through UTF-16: megabytes
    // of it are copied in one block.
    std::string utf8Text() const;
    // What setText(QString::fromStdString(text)) would show; invalid sequences are replaced.
    void setUtf8Text(const std::string& text);
    bool showsUtf8Text(const std::string& text) const;
    // Large texts are not wrapped: wrapping lays out every line before the caret can move.
    void setWrapMode(WrapMode mode) override;
    WrapMode wrapModeWanted() const { return m_wrapWanted; }

    // With long lines shown, what selects, finds or removes text moves no caret into view:
    // only the whole text is removed or replaced.
    void selectAll(bool select = true) override;
    void cut() override;
    void removeSelectedText() override;
    void ensureCursorVisible() override;
    // Undoing or redoing scrolls the caret into view, measuring its line: with long lines the
    // text is measured as hidden, which costs nothing.
    void undo() override;
    void redo() override;
    bool findFirst(const QString& expr, bool re, bool cs, bool wo, bool wrap, bool forward = true, int line = -1,
                   int index = -1, bool show = true, bool posix = false, bool cxx11 = false) override;
    bool findNext() override;
    void replace(const QString& replaceStr) override;

signals:
    void effectiveModeChanged(lexorra::shell::SyntaxMode mode);
    // The automatic mode or the override changed what chosenMode() says.
    void chosenModeChanged(lexorra::shell::SyntaxMode mode);

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    // The frame shows which editor has the keyboard.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    bool pasteLargeText(const QMimeData* data);
    void insertSlice();
    void replaceLoading();
    void refresh();
    void followSize(bool large);
    // What the library is told of each edit, and who speaks for the editor to screen readers,
    // follow the size.
    void applyEditNotices();
    void followAccessible();
    void announceChangeLater();
    void announceChange();
    QFont wantedFont() const;
    void applyFonts();
    void applyMargins();
    void applyColours();
    QsciLexer* lexerFor(SyntaxMode mode);
    // Long lines: what an edit about to be made may bring, the decision once it is made, and
    // the keys and the search while they are shown.
    void noteInsertion(long position, long length, bool undoing);
    void noteDeletion(long position, long length);
    void followLongLines();
    void showLongLines(bool on);
    bool longLinesKey(QKeyEvent* event);
    bool wholeTextSelected() const;
    void selectWithoutScrolling(long from, long to);
    void hideStyles(bool hidden);
    bool findInLongLines(long from);
    void dropOnLongLines(const QMimeData* data);
    void showLongLinesMenu(const QPoint& globalPosition);

    SyntaxMode m_automatic = SyntaxMode::plain;
    std::optional<SyntaxMode> m_override;
    WrapMode m_wrapWanted = WrapWord;
    SyntaxMode m_effective = SyntaxMode::plain;
    bool m_simple = false;
    bool m_large = false;
    bool m_lineNumbers = false;
    bool m_monospaced = false;
    bool m_styling = false;
    bool m_changePending = false;
    std::unique_ptr<QsciLexer> m_lexer;
    // A large paste or loaded text still going in, and how much of it has.
    QString m_pasteRest;
    std::string m_loadRest;
    qsizetype m_loaded = 0;
    QTimer m_sliceTimer;
    LongLineView* m_longView = nullptr;
    bool m_longLines = false;
    // An edit may have made or unmade a long line: the text is looked at once it has landed.
    bool m_longLinesMaybe = false;
    // Edit Anyway, until a text without long lines or a new text from the owner.
    bool m_longLinesDismissed = false;
    bool m_stylesHidden = false;
    // The slice of a paste or a loaded text going into the document.
    std::string_view m_incoming;
    struct LongFind {
        QByteArray text;
        int flags = 0;
        bool forward = true;
        bool wrap = false;
    } m_longFind;
};

// A menu with "Automatic" and one checkable entry per mode that sets the editor's override;
// entries are named "<prefix>Automatic", "<prefix>-json", ... for tests.
QMenu* makeSyntaxMenu(CodeEditor* editor, const QString& title, const QString& prefix, QWidget* parent);

} // namespace lexorra::shell
