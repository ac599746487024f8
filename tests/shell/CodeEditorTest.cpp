#include "shell/CodeEditor.h"
#include "shell/CsvLexer.h"
#include "shell/Theme.h"

#include <Qsci/qscilexerjson.h>
#include <Qsci/qscilexermarkdown.h>

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace lexorra::testing {
namespace {

using shell::CodeEditor;
using shell::CsvLexer;
using shell::SyntaxMode;

QString lexerLanguage(const CodeEditor& editor) {
    return editor.currentLexer() ? QString::fromLatin1(editor.currentLexer()->language()) : QString("none");
}

struct CodeEditorTest : ::testing::Test {
    CodeEditor editor;
};

// JSON folds; plain text and Markdown never show a fold margin (-1: either way).
TEST_F(CodeEditorTest, EachModeColoursWithItsOwnLexer) {
    const struct {
        SyntaxMode mode;
        QString language;
        int folds;
    } table[] = {
        {SyntaxMode::json, "JSON", 1},  {SyntaxMode::yaml, "YAML", -1},        {SyntaxMode::xml, "XML", -1},
        {SyntaxMode::html, "HTML", -1}, {SyntaxMode::markdown, "Markdown", 0}, {SyntaxMode::csv, "CSV", -1},
        {SyntaxMode::plain, "none", 0},
    };
    for (const auto& c : table) {
        editor.setAutomaticMode(c.mode);
        EXPECT_EQ(editor.effectiveMode(), c.mode) << c.language.toStdString();
        EXPECT_EQ(lexerLanguage(editor), c.language);
        if (c.folds >= 0) {
            EXPECT_EQ(editor.marginWidth(2) > 0, c.folds == 1) << c.language.toStdString();
        }
    }
}

TEST_F(CodeEditorTest, AnOverrideWinsUntilAutomaticIsChosenAgain) {
    QSignalSpy chosen(&editor, &CodeEditor::chosenModeChanged);
    editor.setAutomaticMode(SyntaxMode::json);
    ASSERT_EQ(chosen.count(), 1);
    editor.setModeOverride(SyntaxMode::yaml);
    EXPECT_EQ(editor.effectiveMode(), SyntaxMode::yaml);
    EXPECT_EQ(chosen.count(), 2);
    // The sequence changes underneath; the user's choice stays.
    editor.setAutomaticMode(SyntaxMode::xml);
    EXPECT_EQ(editor.effectiveMode(), SyntaxMode::yaml);
    EXPECT_EQ(chosen.count(), 2) << "the chosen mode did not change";
    editor.setModeOverride(std::nullopt);
    EXPECT_EQ(editor.effectiveMode(), SyntaxMode::xml);
    EXPECT_EQ(chosen.count(), 3);
    // Overriding with plain text is a choice too.
    editor.setModeOverride(SyntaxMode::plain);
    EXPECT_EQ(editor.currentLexer(), nullptr);
}

TEST_F(CodeEditorTest, SimpleModeIsAPlainFieldAndLeavingItRestoresEverything) {
    editor.setAutomaticMode(SyntaxMode::json);
    editor.setLineNumbersWanted(true);
    editor.setText("{\n  \"a\": [1, 2]\n}");
    EXPECT_GT(editor.marginWidth(0), 0);
    const QString codeFamily = editor.font().family();

    editor.setSimple(true);
    EXPECT_EQ(editor.currentLexer(), nullptr);
    EXPECT_EQ(editor.effectiveMode(), SyntaxMode::plain);
    EXPECT_EQ(editor.chosenMode(), SyntaxMode::json) << "the choice is kept for later";
    EXPECT_EQ(editor.marginWidth(0), 0);
    EXPECT_EQ(editor.marginWidth(2), 0);
    EXPECT_EQ(editor.font().family(), QApplication::font().family());
    // A table laid out with spaces still wants fixed widths.
    editor.setMonospacedWanted(true);
    EXPECT_EQ(editor.font().family(), codeFamily);
    editor.setMonospacedWanted(false);

    editor.setSimple(false);
    EXPECT_EQ(lexerLanguage(editor), "JSON");
    EXPECT_GT(editor.marginWidth(0), 0);
    EXPECT_GT(editor.marginWidth(2), 0);
    EXPECT_EQ(editor.font().family(), codeFamily);
    EXPECT_EQ(editor.text(), "{\n  \"a\": [1, 2]\n}");
}

TEST_F(CodeEditorTest, LargeTextsAreShownPlainAndColouredAgainWhenSmall) {
    editor.setAutomaticMode(SyntaxMode::json);
    const QString large = "[" + QString("1,").repeated(CodeEditor::largeTextBytes / 2) + "1]";
    editor.setText(large);
    EXPECT_TRUE(editor.isLargeText());
    EXPECT_EQ(editor.effectiveMode(), SyntaxMode::plain);
    EXPECT_EQ(editor.currentLexer(), nullptr);
    EXPECT_EQ(editor.text().size(), large.size());
    EXPECT_EQ(editor.wrapMode(), QsciScintilla::WrapNone);
    // The user's wish is kept for when the text is small again.
    editor.setWrapMode(QsciScintilla::WrapWord);
    EXPECT_EQ(editor.wrapMode(), QsciScintilla::WrapNone);

    editor.setText("[1, 2]");
    EXPECT_FALSE(editor.isLargeText());
    EXPECT_EQ(lexerLanguage(editor), "JSON");
    EXPECT_EQ(editor.wrapMode(), QsciScintilla::WrapWord);

    // A text right at the limit keeps its colours; growing past it by editing counts too (the
    // limit is on the document's bytes).
    editor.setText(QString("a").repeated(CodeEditor::largeTextBytes));
    EXPECT_FALSE(editor.isLargeText());
    EXPECT_EQ(lexerLanguage(editor), "JSON");
    editor.append("b");
    EXPECT_TRUE(editor.isLargeText());
    EXPECT_EQ(editor.currentLexer(), nullptr);
}

// A large paste goes in over turns of the event loop: it must land whole (line ends made the
// editor's, no character cut at a slice's end), be announced once and undo in one step, also
// when a keystroke arrives halfway. A large text loaded for the owner lands whole too, but is
// neither announced nor undoable.
TEST_F(CodeEditorTest, LargeTextsGoInOverTurnsOfTheEventLoop) {
    for (bool keyHalfway : {false, true}) {
        // Lines in several slices, then one line longer than a slice; a key typed into that
        // would be dropped, its text being shown read-only.
        const QString pasted = QString("\u00e9 \U0001F600 \r\n").repeated(CodeEditor::sliceLength / 3) +
                               QString("\U0001F600").repeated(keyHalfway ? 0 : CodeEditor::sliceLength) + "\rend";
        const std::string expected =
            "head " + QString(pasted).replace("\r\n", "\n").replace('\r', '\n').toStdString();
        editor.setUtf8Text("head [selected] tail");
        editor.setSelection(0, 5, 0, 15);
        QApplication::clipboard()->setText(pasted);
        QSignalSpy changed(&editor, &CodeEditor::textChanged);
        editor.paste();
        EXPECT_TRUE(editor.loading());
        if (keyHalfway) QTest::keyClick(&editor, Qt::Key_X);
        QTRY_VERIFY(!editor.loading());
        EXPECT_EQ(editor.utf8Text(), expected + (keyHalfway ? "x tail" : " tail"));
        EXPECT_EQ(changed.count(), keyHalfway ? 2 : 1);
        if (keyHalfway) editor.undo();
        editor.undo();
        EXPECT_EQ(editor.utf8Text(), "head [selected] tail");
    }
    const std::string loaded = QString("y\u00e9\n").repeated(CodeEditor::sliceLength / 2).toStdString();
    QSignalSpy changed(&editor, &CodeEditor::textChanged);
    editor.loadUtf8Text(loaded);
    EXPECT_TRUE(editor.loading());
    QTRY_VERIFY(!editor.loading());
    EXPECT_EQ(changed.count(), 0);
    EXPECT_FALSE(editor.isUndoAvailable());
    EXPECT_EQ(editor.utf8Text(), loaded);
}

// A line too long to lay out is shown wrapped and read-only by a light view, with the exact text
// kept; a text without one is shown by the editor again.
TEST_F(CodeEditorTest, LongLinesAreShownReadOnlyWithTheirTextKept) {
    const std::string limit(CodeEditor::longLineBytes, 'a');
    const struct {
        std::string text;
        bool longLines;
    } table[] = {
        {limit + "b", true},
        {"x\n" + limit + "\n" + limit + "\n", false},
        {"x\n\t\x01\x7f" + QString("\u00e9\U0001F600").repeated(CodeEditor::longLineBytes / 6).toStdString(), true},
        {std::string(2 * CodeEditor::largeTextBytes, 'c'), true},
        {"short", false},
    };
    for (const auto& c : table) {
        editor.setUtf8Text(c.text);
        EXPECT_EQ(editor.showsLongLines(), c.longLines) << c.text.substr(0, 8);
        EXPECT_EQ(editor.utf8Text(), c.text);
        editor.grab(); // drawn, so that the sanitizers see controls and wide characters cut into rows
    }
    editor.setUtf8Text(limit + " needle " + limit);
    QTest::keyClick(&editor, Qt::Key_X);
    EXPECT_EQ(editor.utf8Text(), limit + " needle " + limit) << "typing is dropped";
    EXPECT_TRUE(editor.findFirst("NEEDLE", false, false, false, true));
    EXPECT_EQ(editor.selectedText(), "needle");
    EXPECT_TRUE(editor.findNext()) << "the search wraps";
    QTest::keyClick(&editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&editor, Qt::Key_Backspace);
    EXPECT_EQ(editor.utf8Text(), "");
    EXPECT_FALSE(editor.showsLongLines());
    editor.undo();
    EXPECT_TRUE(editor.showsLongLines());
    // Edit Anyway holds until a new text arrives.
    editor.editLongLinesAnyway();
    EXPECT_FALSE(editor.showsLongLines());
    editor.setUtf8Text(limit + "b");
    EXPECT_TRUE(editor.showsLongLines());
}

// Colours must read on the editor's own paper, in both themes.
TEST_F(CodeEditorTest, LexerColoursFollowTheThemePalette) {
    for (bool dark : {false, true}) {
        const QPalette palette = shell::themePalette(dark);
        editor.setPalette(palette);
        const QColor base = palette.color(QPalette::Base);
        for (SyntaxMode mode : shell::allSyntaxModes) {
            editor.setAutomaticMode(mode);
            QsciLexer* lexer = editor.currentLexer();
            if (!lexer) continue; // plain text; which modes have a lexer is the table above
            for (int style = 0; style < 128; ++style) {
                if (lexer->description(style).isEmpty()) continue;
                // Inline code in Markdown sits on a slightly different shade on purpose.
                if (mode != SyntaxMode::markdown || style < QsciLexerMarkdown::CodeBackticks) {
                    EXPECT_EQ(lexer->paper(style), base) << int(mode) << " style " << style << " dark " << dark;
                }
                const int contrast = std::abs(lexer->color(style).lightness() - base.lightness());
                EXPECT_GT(contrast, 60) << int(mode) << " style " << style << " dark " << dark << " "
                                        << lexer->description(style).toStdString();
            }
        }
    }
    // Readable, and something is actually coloured differently.
    editor.setAutomaticMode(SyntaxMode::json);
    const QsciLexer* json = editor.currentLexer();
    EXPECT_NE(json->color(QsciLexerJSON::String), json->color(QsciLexerJSON::Default));
    EXPECT_NE(json->color(QsciLexerJSON::Property), json->color(QsciLexerJSON::String));
}

TEST_F(CodeEditorTest, TextOfTheDocumentIsStyledByTheCsvLexer) {
    editor.setAutomaticMode(SyntaxMode::csv);
    editor.setText("a,b,\"c,d\"\n1,2,3\n");
    editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0L, -1L);
    auto styleAt = [&](int pos) { return int(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, pos)); };
    // What each byte gets is the lexer's own test; here the editor must hand it the text line by line.
    EXPECT_EQ(styleAt(1), CsvLexer::delimiter);       // ,
    EXPECT_EQ(styleAt(6), CsvLexer::firstColumn + 2); // the comma inside quotes
    EXPECT_EQ(styleAt(10), CsvLexer::firstColumn);    // 1, next record
}

TEST(CsvLexerTest, DelimiterIsTheMostFrequentOutsideQuotes) {
    const std::vector<std::pair<QByteArray, char>> table = {
        {"a,b,c", ','}, {"a;b;c", ';'}, {"a\tb\tc", '\t'},    {"a|b|c", '|'},
        {"abc", ','},   {"", ','},      {"\"x;y;z\",w", ','}, {"a;b,c;d", ';'},
    };
    for (const auto& [line, delimiter] : table)
        EXPECT_EQ(CsvLexer::detectDelimiter(line), delimiter) << line.toStdString();
}

QString styleString(const QByteArray& styles) {
    QString s;
    for (char c : styles) {
        if (c == CsvLexer::delimiter)
            s += ',';
        else if (c == CsvLexer::quote)
            s += '"';
        else if (c == CsvLexer::defaultStyle)
            s += '.';
        else
            s += QString::number(c - CsvLexer::firstColumn + 1);
    }
    return s;
}

TEST(CsvLexerTest, ColumnsQuotesAndEscapedQuotes) {
    struct Case {
        QByteArray text;
        QString styles;
        int column;
        bool quoted;
        int fromColumn = 0; // the state the previous line left
        bool fromQuoted = false;
    };
    const std::vector<Case> table = {
        {"ab,cd,e", "11,22,3", 2, false},
        {"\"a,b\",c", "\"111\",2", 1, false},
        {"\"say \"\"hi\"\"\",x", "\"1111111111\",2", 1, false},
        // A quote inside a field is just a character.
        {"a\"b,c", "111,2", 1, false},
        // Line ends start a new record.
        {"a,b\nc,d", "1,2.1,2", 1, false},
        // An open quote runs on across the line end.
        {"a,\"b\nc", "1,\"222", 1, true},
        {",,", ",,", 2, false},
        // Six colours cycle.
        {"a,b,c,d,e,f,g", "1,2,3,4,5,6,1", 6, false},
        // Styling resumes inside a quoted field the previous line left open.
        {"end\",x\n", "222\",3.", 0, false, 1, true},
    };
    for (const Case& c : table) {
        int column = c.fromColumn;
        bool quoted = c.fromQuoted;
        const QByteArray styles = CsvLexer::styleBytes(c.text, ',', column, quoted);
        ASSERT_EQ(styles.size(), c.text.size());
        EXPECT_EQ(styleString(styles), c.styles) << c.text.toStdString();
        EXPECT_EQ(column, c.column) << c.text.toStdString();
        EXPECT_EQ(quoted, c.quoted) << c.text.toStdString();
    }
}

} // namespace
} // namespace lexorra::testing
