#include "shell/CodeEditor.h"

#include "shell/CsvLexer.h"
#include "shell/LongLineView.h"
#include "shell/Theme.h"
#include "text/FastUtf8Check.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjson.h>
#include <Qsci/qscilexermarkdown.h>
#include <Qsci/qscilexerxml.h>
#include <Qsci/qscilexeryaml.h>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QMenu>
#include <QMimeData>
#include <QSet>

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace lexorra::shell {
namespace {

using namespace Qt::StringLiterals;

QFont codeFont() {
    QFont font("DejaVu Sans Mono");
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(11);
    return font;
}

QFont interfaceFont() {
    QFont font = QApplication::font();
    font.setPointSize(11);
    return font;
}

void paint(QsciLexer* lexer, const QColor& colour, std::initializer_list<int> styles) {
    for (int style : styles) lexer->setColor(colour, style);
}

void colourLexer(QsciLexer* lexer, SyntaxMode mode, const QPalette& palette) {
    const SyntaxColours c = syntaxColours(palette);
    // Every style starts as plain text on the editor's paper; the lexers' own defaults
    // assume a white page.
    lexer->setDefaultPaper(palette.color(QPalette::Base));
    lexer->setDefaultColor(c.text);
    lexer->setPaper(palette.color(QPalette::Base), -1);
    lexer->setColor(c.text, -1);
    switch (mode) {
    case SyntaxMode::json:
        paint(lexer, c.number, {QsciLexerJSON::Number});
        paint(lexer, c.string, {QsciLexerJSON::String});
        paint(lexer, c.property, {QsciLexerJSON::Property});
        paint(lexer, c.keyword, {QsciLexerJSON::Keyword, QsciLexerJSON::KeywordLD, QsciLexerJSON::EscapeSequence});
        paint(lexer, c.comment, {QsciLexerJSON::CommentLine, QsciLexerJSON::CommentBlock});
        paint(lexer, c.operatorSign, {QsciLexerJSON::Operator});
        paint(lexer, c.link, {QsciLexerJSON::IRI, QsciLexerJSON::IRICompact});
        paint(lexer, c.error, {QsciLexerJSON::Error, QsciLexerJSON::UnclosedString});
        break;
    case SyntaxMode::yaml:
        paint(lexer, c.comment, {QsciLexerYAML::Comment});
        paint(lexer, c.property, {QsciLexerYAML::Identifier});
        paint(lexer, c.keyword, {QsciLexerYAML::Keyword});
        paint(lexer, c.number, {QsciLexerYAML::Number});
        paint(lexer, c.link, {QsciLexerYAML::Reference});
        paint(lexer, c.heading, {QsciLexerYAML::DocumentDelimiter});
        paint(lexer, c.operatorSign, {QsciLexerYAML::TextBlockMarker, QsciLexerYAML::Operator});
        paint(lexer, c.error, {QsciLexerYAML::SyntaxErrorMarker});
        break;
    case SyntaxMode::xml:
    case SyntaxMode::html:
        paint(lexer, c.tag, {QsciLexerHTML::Tag, QsciLexerHTML::UnknownTag, QsciLexerHTML::XMLTagEnd,
                             QsciLexerHTML::XMLStart, QsciLexerHTML::XMLEnd});
        paint(lexer, c.attribute, {QsciLexerHTML::Attribute, QsciLexerHTML::UnknownAttribute});
        paint(lexer, c.number, {QsciLexerHTML::HTMLNumber});
        paint(lexer, c.string, {QsciLexerHTML::HTMLDoubleQuotedString, QsciLexerHTML::HTMLSingleQuotedString,
                                QsciLexerHTML::HTMLValue, QsciLexerHTML::SGMLDoubleQuotedString,
                                QsciLexerHTML::SGMLSingleQuotedString});
        paint(lexer, c.comment, {QsciLexerHTML::HTMLComment, QsciLexerHTML::SGMLComment});
        paint(lexer, c.keyword, {QsciLexerHTML::Entity, QsciLexerHTML::SGMLCommand, QsciLexerHTML::SGMLEntity});
        paint(lexer, c.operatorSign, {QsciLexerHTML::OtherInTag, QsciLexerHTML::SGMLDefault});
        paint(lexer, c.code, {QsciLexerHTML::CDATA});
        paint(lexer, c.error, {QsciLexerHTML::SGMLError});
        break;
    case SyntaxMode::markdown:
        paint(lexer, c.keyword, {QsciLexerMarkdown::Special, QsciLexerMarkdown::StrongEmphasisAsterisks,
                                 QsciLexerMarkdown::StrongEmphasisUnderscores, QsciLexerMarkdown::EmphasisAsterisks,
                                 QsciLexerMarkdown::EmphasisUnderscores});
        paint(lexer, c.heading, {QsciLexerMarkdown::Header1, QsciLexerMarkdown::Header2, QsciLexerMarkdown::Header3,
                                 QsciLexerMarkdown::Header4, QsciLexerMarkdown::Header5, QsciLexerMarkdown::Header6});
        paint(lexer, c.comment, {QsciLexerMarkdown::Prechar, QsciLexerMarkdown::BlockQuote,
                                 QsciLexerMarkdown::StrikeOut});
        paint(lexer, c.number, {QsciLexerMarkdown::UnorderedListItem, QsciLexerMarkdown::OrderedListItem});
        paint(lexer, c.operatorSign, {QsciLexerMarkdown::HorizontalRule});
        paint(lexer, c.link, {QsciLexerMarkdown::Link});
        paint(lexer, c.code, {QsciLexerMarkdown::CodeBackticks, QsciLexerMarkdown::CodeDoubleBackticks,
                              QsciLexerMarkdown::CodeBlock});
        for (int style : {int(QsciLexerMarkdown::CodeBackticks), int(QsciLexerMarkdown::CodeDoubleBackticks),
                          int(QsciLexerMarkdown::CodeBlock)})
            lexer->setPaper(c.codePaper, style);
        break;
    case SyntaxMode::csv:
        for (int i = 0; i < CsvLexer::columnStyles; ++i) lexer->setColor(c.columns[size_t(i)], CsvLexer::firstColumn + i);
        paint(lexer, c.comment, {CsvLexer::delimiter, CsvLexer::quote});
        break;
    case SyntaxMode::plain: break;
    }
}

void fontLexer(QsciLexer* lexer, SyntaxMode mode, const QFont& font) {
    lexer->setDefaultFont(font);
    lexer->setFont(font, -1);
    if (mode != SyntaxMode::markdown) return;
    QFont bold = font;
    bold.setBold(true);
    for (int style : {QsciLexerMarkdown::Header1, QsciLexerMarkdown::Header2, QsciLexerMarkdown::Header3,
                      QsciLexerMarkdown::Header4, QsciLexerMarkdown::Header5, QsciLexerMarkdown::Header6,
                      QsciLexerMarkdown::StrongEmphasisAsterisks, QsciLexerMarkdown::StrongEmphasisUnderscores})
        lexer->setFont(bold, style);
    QFont italic = font;
    italic.setItalic(true);
    for (int style : {QsciLexerMarkdown::EmphasisAsterisks, QsciLexerMarkdown::EmphasisUnderscores})
        lexer->setFont(italic, style);
}

bool folds(SyntaxMode mode) {
    return mode == SyntaxMode::json || mode == SyntaxMode::yaml || mode == SyntaxMode::xml || mode == SyntaxMode::html;
}

// The library's accessible turns the caret into a character offset by counting from the
// start of the text at every repaint: most of a second with the caret deep in 10 MB. A large
// text is offered as a named edit field instead.
class LargeTextAccessible : public QAccessibleWidget {
public:
    explicit LargeTextAccessible(QWidget* editor) : QAccessibleWidget(editor, QAccessible::EditableText) {}

    // Long lines are shown read-only, and what the view shows is what is read out.
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = state.readOnly || longLines();
        return state;
    }
    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Description && longLines()) {
            if (auto* view = widget()->findChild<LongLineView*>()) return view->accessibleDescription();
        }
        return QAccessibleWidget::text(type);
    }

private:
    bool longLines() const { return static_cast<CodeEditor*>(widget())->showsLongLines(); }
};

QAccessibleInterface* largeTextAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(CodeEditor::staticMetaObject.className())) return nullptr;
    auto* editor = qobject_cast<CodeEditor*>(object);
    // Nothing for a small text: the search goes on to the library's own accessible.
    return editor && (editor->isLargeText() || editor->showsLongLines()) ? new LargeTextAccessible(editor) : nullptr;
}

// UTF-8 that a QString would carry unchanged: valid, and without a leading byte-order mark,
// which QString::fromUtf8 drops.
bool keptByQString(const std::string& text) {
    return text::isValidUtf8Fast(text) && !text.starts_with("\xEF\xBB\xBF");
}

// The library's handler of an insertion or deletion counts the characters from the start of
// the text to the edit, whether or not a screen reader listens: a large text notifies only
// before its edits.
constexpr int beforeTextEdits = QsciScintillaBase::SC_MOD_BEFOREINSERT | QsciScintillaBase::SC_MOD_BEFOREDELETE;

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

bool hasLineLongerThan(QStringView text, qsizetype limit) {
    for (qsizetype from = 0; from < text.size();) {
        qsizetype lineFeed = text.indexOf(u'\n', from);
        if (lineFeed < 0) lineFeed = text.size();
        if (lineFeed - from > limit) return true;
        from = lineFeed + 1;
    }
    return false;
}

// Where a slice of text that starts at `from` ends: after the last line feed within `length`
// of it, or after the first one beyond. A line goes in whole: the editor lays a line out again
// each time it grows, and a text of one long line would be laid out once per slice.
template <class Text> qsizetype sliceEnd(const Text& text, qsizetype from, qsizetype length) {
    if (text.size() - from <= length) return text.size();
    qsizetype lineFeed = text.lastIndexOf(u'\n', from + length - 1);
    if (lineFeed < from) lineFeed = text.indexOf(u'\n', from + length);
    return lineFeed < 0 ? text.size() : lineFeed + 1;
}

} // namespace

CodeEditor::CodeEditor(QWidget* parent) : QsciScintilla(parent) {
    static const bool accessibleInstalled = (QAccessible::installFactory(largeTextAccessible), true);
    Q_UNUSED(accessibleInstalled);
    setUtf8(true);
    m_sliceTimer.setSingleShot(true);
    m_sliceTimer.setInterval(0);
    connect(&m_sliceTimer, &QTimer::timeout, this, &CodeEditor::insertSlice);
    setWrapMode(m_wrapWanted);
    setMarginWidth(0, 0);
    setMarginWidth(1, 0);
    setMarginWidth(2, 0);
    // Breathing room between the frame and the first column.
    SendScintilla(SCI_SETMARGINLEFT, 0, 10L);
    SendScintilla(SCI_SETMARGINRIGHT, 0, 10L);
    applyFonts();
    applyColours();
    // Wrapping is switched off before a large insertion lands: once the text is in, the
    // editor has already wrapped every line of it (half a minute for 10 MB).
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int length, int, int, int, int, int, int) {
                if (type & SC_MOD_BEFOREINSERT)
                    noteInsertion(position, length, type & (SC_PERFORMED_UNDO | SC_PERFORMED_REDO));
                if (type & SC_MOD_BEFOREDELETE) noteDeletion(position, length);
                // A large text's edits reach us only before they are made.
                if (m_large && (type & beforeTextEdits)) announceChangeLater();
                if (!(type & SC_MOD_BEFOREINSERT) || m_large) return;
                if (SendScintilla(SCI_GETLENGTH) + length <= largeTextBytes) return;
                // Only the wrapping here: the document is in the middle of a change. The
                // colouring and the notices go when the text has landed.
                m_large = true;
                if (wrapMode() != WrapNone) QsciScintilla::setWrapMode(WrapNone);
            });
    connect(this, &QsciScintilla::textChanged, this,
            [this] { followSize(SendScintilla(SCI_GETLENGTH) > largeTextBytes); });
}

void CodeEditor::followSize(bool large) {
    m_large = large;
    const WrapMode wrap = m_large || m_longLines ? WrapNone : m_wrapWanted;
    if (wrapMode() != wrap) QsciScintilla::setWrapMode(wrap);
    applyEditNotices();
    followAccessible();
    refresh();
    if (!loading()) followLongLines();
}

void CodeEditor::applyEditNotices() {
    // A notice is sent when its type shares any bit with the mask, and an insertion also
    // carries who made it: the mask names the two notices wanted and nothing else.
    SendScintilla(SCI_SETMODEVENTMASK, m_large ? long(beforeTextEdits) : long(SC_MODEVENTMASKALL));
}

void CodeEditor::followAccessible() {
    QAccessibleInterface* current = QAccessible::queryAccessibleInterface(this);
    if (current && (dynamic_cast<LargeTextAccessible*>(current) != nullptr) != (m_large || m_longLines))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(current)); // asked for again when needed
}

void CodeEditor::announceChangeLater() {
    if (std::exchange(m_changePending, true)) return;
    // Edits made outside an event (a call from the window) are announced on the next turn of
    // the event loop.
    QMetaObject::invokeMethod(this, &CodeEditor::announceChange, Qt::QueuedConnection);
}

void CodeEditor::announceChange() {
    if (loading()) return;
    if (std::exchange(m_changePending, false)) emit textChanged();
}

bool CodeEditor::event(QEvent* event) {
    // A keystroke, a shortcut or a click lands on the whole text.
    if (loading() && isUserInput(event->type())) finishLoading();
    if (m_longLines && event->type() == QEvent::KeyPress && longLinesKey(static_cast<QKeyEvent*>(event))) return true;
    if (m_longLines && event->type() == QEvent::InputMethod) return true; // read-only
    const bool handled = QsciScintilla::event(event);
    // A keystroke or a paste is announced as soon as its event has been handled.
    announceChange();
    return handled;
}

void CodeEditor::paste() {
    // Shown read-only, a text is only replaced as a whole.
    if (m_longLines && !wholeTextSelected()) return;
    if (!pasteLargeText(QApplication::clipboard()->mimeData())) QsciScintilla::paste();
}

// The library's paste walks the clipboard's text byte by byte twice (its line ends, then its
// selection copy) and copies it three times before the document takes it in, all in one go:
// 10 MB held the window a quarter of a second; and it then scrolls the caret into view, which
// measures the whole line it ends on. A large text, or one with a long line, pasted over one plain selection
// goes in a slice per turn of the event loop instead, as one step to undo, and is announced
// once it has all landed. The rest (small texts, rectangular or multiple selections, other
// line-end settings) takes the library's path, which gives the same document.
bool CodeEditor::pasteLargeText(const QMimeData* data) {
    finishLoading();
    if (isReadOnly() || SendScintilla(SCI_GETSELECTIONS) != 1 || SendScintilla(SCI_SELECTIONISRECTANGLE) ||
        SendScintilla(SCI_GETEOLMODE) != SC_EOL_LF)
        return false;
    if (!data || !data->hasText() || data->hasFormat("text/x-qscintilla-rectangular") ||
        data->hasFormat("MSDEVColumnSelect"))
        return false;
    QString text = data->text();
    // In characters, which take one to three bytes each.
    if (text.size() <= largeTextBytes && !hasLineLongerThan(text, qsizetype(longLineBytes / 3))) return false;
    if (SendScintilla(SCI_GETPASTECONVERTENDINGS) && text.contains(u'\r'))
        text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    followSize(true);
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_REPLACESEL, "");
    m_pasteRest = std::move(text);
    m_loaded = 0;
    insertSlice();
    return true;
}

void CodeEditor::loadUtf8Text(std::string text) {
    replaceLoading();
    m_longLinesDismissed = false;
    if (text.size() <= largeTextBytes || isReadOnly() || !keptByQString(text)) {
        setUtf8Text(text);
        return;
    }
    followSize(true);
    SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
    SendScintilla(SCI_CLEARALL);
    m_loadRest = std::move(text);
    m_loaded = 0;
    insertSlice();
}

void CodeEditor::insertSlice() {
    if (!loading()) return;
    // Slices end at line ends, so none ends inside a character either.
    if (!m_pasteRest.isEmpty()) {
        const qsizetype end = sliceEnd(m_pasteRest, m_loaded, sliceLength);
        const QByteArray bytes = QStringView(m_pasteRest).sliced(m_loaded, end - m_loaded).toUtf8();
        m_incoming = std::string_view(bytes.constData(), size_t(bytes.size()));
        SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(bytes.size()), bytes.constData());
        m_loaded = end;
    } else {
        const qsizetype end = sliceEnd(QByteArrayView(m_loadRest), m_loaded, sliceLength);
        m_incoming = std::string_view(m_loadRest).substr(size_t(m_loaded), size_t(end - m_loaded));
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(end - m_loaded), m_loadRest.data() + m_loaded);
        m_loaded = end;
    }
    m_incoming = {};
    if (loading()) {
        m_sliceTimer.start();
        return;
    }
    const bool pasted = !m_pasteRest.isEmpty();
    if (!pasted) {
        // As setUtf8Text: a new text, not an edit to take back, and not news to its owner.
        SendScintilla(SCI_SETUNDOCOLLECTION, 1L);
        SendScintilla(SCI_EMPTYUNDOBUFFER);
        m_changePending = false;
    } else {
        SendScintilla(SCI_ENDUNDOACTION);
    }
    m_pasteRest.clear();
    m_loadRest.clear();
    m_loaded = 0;
    followLongLines();
    // Where the library's paste leaves the view: at its end.
    if (pasted && m_longLines)
        m_longView->showOffset(size_t(SendScintilla(SCI_GETCURRENTPOS)));
    else if (pasted)
        SendScintilla(SCI_SCROLLCARET);
    announceChange();
}

void CodeEditor::finishLoading() {
    m_sliceTimer.stop();
    while (loading()) insertSlice();
}

void CodeEditor::replaceLoading() {
    if (!loading() || !m_pasteRest.isEmpty()) {
        finishLoading();
        return;
    }
    // A loaded text about to be replaced need not land first.
    m_sliceTimer.stop();
    m_loadRest.clear();
    m_loaded = 0;
    SendScintilla(SCI_SETUNDOCOLLECTION, 1L);
}

bool CodeEditor::viewportEvent(QEvent* event) {
    // A click lands on the whole text.
    if (loading() && isUserInput(event->type())) finishLoading();
    return QsciScintilla::viewportEvent(event);
}

CodeEditor::~CodeEditor() {
    // The base class still refers to the lexer while it is torn down.
    QsciScintilla::setLexer(nullptr);
}

void CodeEditor::setAutomaticMode(SyntaxMode mode) {
    const SyntaxMode before = chosenMode();
    m_automatic = mode;
    refresh();
    if (chosenMode() != before) emit chosenModeChanged(chosenMode());
}

void CodeEditor::setModeOverride(std::optional<SyntaxMode> mode) {
    const SyntaxMode before = chosenMode();
    m_override = mode;
    refresh();
    if (chosenMode() != before) emit chosenModeChanged(chosenMode());
}

void CodeEditor::setSimple(bool simple) {
    if (simple == m_simple) return;
    m_simple = simple;
    refresh();
    applyFonts();
    applyMargins();
}

void CodeEditor::setLineNumbersWanted(bool wanted) {
    m_lineNumbers = wanted;
    applyMargins();
}

void CodeEditor::setMonospacedWanted(bool wanted) {
    if (wanted == m_monospaced) return;
    m_monospaced = wanted;
    applyFonts();
    applyMargins();
}

void CodeEditor::setText(const QString& text) {
    replaceLoading();
    m_longLinesDismissed = false;
    // Drop the colouring before a large text arrives, not after it has been laid out once.
    if (text.size() > largeTextBytes) followSize(true);
    QsciScintilla::setText(text);
    announceChange();
}

std::string CodeEditor::utf8Text() const {
    const_cast<CodeEditor*>(this)->finishLoading();
    const long length = SendScintilla(SCI_GETLENGTH);
    // The text lies in two blocks on either side of the editor's gap: each is copied where it
    // lies, with no zero-filling first and no moving of the gap (10 MB at every keystroke).
    const long gap = std::clamp(SendScintilla(SCI_GETGAPPOSITION), 0L, length);
    std::string text;
    text.reserve(static_cast<size_t>(length));
    for (const auto& [from, count] : {std::pair{0L, gap}, std::pair{gap, length - gap}}) {
        if (count == 0) continue;
        const auto* block = reinterpret_cast<const char*>(SendScintilla(SCI_GETRANGEPOINTER, from, count));
        text.append(block, static_cast<size_t>(count));
    }
    return text;
}

bool CodeEditor::showsUtf8Text(const std::string& text) const {
    if (loading() && m_pasteRest.isEmpty()) return m_loadRest == text;
    const_cast<CodeEditor*>(this)->finishLoading();
    if (!keptByQString(text)) return QsciScintilla::text() == QString::fromStdString(text);
    return static_cast<size_t>(SendScintilla(SCI_GETLENGTH)) == text.size() && utf8Text() == text;
}

void CodeEditor::setUtf8Text(const std::string& text) {
    replaceLoading();
    m_longLinesDismissed = false;
    if (!keptByQString(text)) {
        setText(QString::fromStdString(text));
        return;
    }
    if (text.size() > largeTextBytes) followSize(true);
    // As setText does: a new text, not an edit to take back, and read-only editors too.
    const bool readOnly = isReadOnly();
    if (readOnly) setReadOnly(false);
    SendScintilla(SCI_SETTEXT, text.c_str());
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    if (readOnly) setReadOnly(true);
    announceChange();
}

void CodeEditor::releaseKeys(const QList<QKeySequence>& taken) {
    QSet<int> keys;
    for (const auto& sequence : taken)
        if (sequence.count() == 1) keys.insert(sequence[0].toCombined());
    for (QsciCommand* command : standardCommands()->commands()) {
        if (keys.contains(command->key())) command->setKey(0);
        if (keys.contains(command->alternateKey())) command->setAlternateKey(0);
    }
}

void CodeEditor::setWrapMode(WrapMode mode) {
    m_wrapWanted = mode;
    QsciScintilla::setWrapMode(m_large || m_longLines ? WrapNone : mode);
}

QsciLexer* CodeEditor::lexerFor(SyntaxMode mode) {
    switch (mode) {
    case SyntaxMode::json: return new QsciLexerJSON;
    case SyntaxMode::yaml: return new QsciLexerYAML;
    case SyntaxMode::xml: return new QsciLexerXML;
    case SyntaxMode::html: return new QsciLexerHTML;
    case SyntaxMode::markdown: return new QsciLexerMarkdown;
    case SyntaxMode::csv: return new CsvLexer;
    case SyntaxMode::plain: return nullptr;
    }
    return nullptr;
}

void CodeEditor::refresh() {
    const SyntaxMode wanted = m_simple || m_large ? SyntaxMode::plain : chosenMode();
    if (wanted == m_effective && (wanted == SyntaxMode::plain) == (m_lexer == nullptr)) return;
    std::unique_ptr<QsciLexer> next(lexerFor(wanted));
    if (next) {
        colourLexer(next.get(), wanted, palette());
        fontLexer(next.get(), wanted, wantedFont());
    }
    QsciScintilla::setLexer(next.get());
    m_lexer = std::move(next);
    m_effective = wanted;
    // Without a lexer the editor's own colours and font apply again.
    applyColours();
    applyFonts();
    applyMargins();
    emit effectiveModeChanged(m_effective);
}

QFont CodeEditor::wantedFont() const { return m_simple && !m_monospaced ? interfaceFont() : codeFont(); }

void CodeEditor::applyFonts() {
    const QFont f = wantedFont();
    QsciScintilla::setFont(f);
    // With a lexer the base class hands the font to it alone; the margins measure the widget's.
    QWidget::setFont(f);
    if (m_lexer) fontLexer(m_lexer.get(), m_effective, f);
}

void CodeEditor::applyMargins() {
    const bool numbers = m_lineNumbers && !m_simple;
    setMarginType(0, QsciScintilla::NumberMargin);
    setMarginLineNumbers(0, numbers);
    setMarginWidth(0, numbers ? fontMetrics().horizontalAdvance("000000") : 0);
    if (!m_simple && m_lexer && folds(m_effective)) {
        setFolding(QsciScintilla::BoxedTreeFoldStyle, 2);
        const QColor margin = palette().color(QPalette::AlternateBase);
        setFoldMarginColors(margin, margin);
        // The fold boxes are filled with the first colour and drawn with the second; their
        // defaults are white and black whatever the theme. No other markers are used.
        setMarkerForegroundColor(palette().color(QPalette::Base));
        setMarkerBackgroundColor(palette().color(QPalette::PlaceholderText));
    } else {
        setFolding(QsciScintilla::NoFoldStyle, 2);
        setMarginWidth(2, 0);
    }
}

void CodeEditor::applyColours() {
    if (m_styling) return;
    m_styling = true;
    styleEditor(this, palette());
    if (m_lexer) colourLexer(m_lexer.get(), m_effective, palette());
    m_styling = false;
    applyMargins();
}

void CodeEditor::changeEvent(QEvent* event) {
    QsciScintilla::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) applyColours();
}

void CodeEditor::focusInEvent(QFocusEvent* event) {
    QsciScintilla::focusInEvent(event);
    applyColours();
}

void CodeEditor::focusOutEvent(QFocusEvent* event) {
    QsciScintilla::focusOutEvent(event);
    applyColours();
}

QMenu* makeSyntaxMenu(CodeEditor* editor, const QString& title, const QString& prefix, QWidget* parent) {
    auto* menu = new QMenu(title, parent);
    auto* group = new QActionGroup(menu);
    auto* automatic = menu->addAction(QObject::tr("Automatic"));
    automatic->setObjectName(prefix + "Automatic");
    automatic->setCheckable(true);
    group->addAction(automatic);
    QObject::connect(automatic, &QAction::triggered, editor, [editor] { editor->setModeOverride(std::nullopt); });
    menu->addSeparator();
    for (SyntaxMode mode : allSyntaxModes) {
        auto* entry = menu->addAction(syntaxModeLabel(mode));
        entry->setObjectName(prefix + "-" + syntaxModeName(mode));
        entry->setCheckable(true);
        entry->setData(syntaxModeName(mode));
        group->addAction(entry);
        QObject::connect(entry, &QAction::triggered, editor, [editor, mode] { editor->setModeOverride(mode); });
    }
    // The automatic entry says what Automatic currently means.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [editor, automatic, group] {
        automatic->setText(QObject::tr("Automatic (%1)").arg(syntaxModeLabel(editor->automaticMode())));
        const auto chosen = editor->modeOverride();
        for (QAction* a : group->actions()) {
            const auto mode = syntaxModeFromName(a->data().toString());
            a->setChecked(a == automatic ? !chosen : mode && chosen && *mode == *chosen);
        }
    });
    automatic->setChecked(!editor->modeOverride());
    return menu;
}

} // namespace lexorra::shell
