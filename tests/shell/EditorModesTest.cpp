#include "shell/ShellFixture.h"

#include "actions/data/TextActionYAMLtoJSON.h"
#include "shell/CodeEditor.h"
#include "shell/PreferencesDialog.h"
#include "shell/ShellTimings.h"
#include "shell/Theme.h"
#include "shell/WelcomeDialog.h"

#include <Qsci/qscilexer.h>

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMenu>

#include <cstdlib>

namespace lexorra::testing {
namespace {

using shell::CodeEditor;
using shell::SyntaxMode;

class EditorModesTest : public ShellFixture {
protected:
    QAction* menuEntry(const char* name) {
        auto* action = find<QAction>(name);
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    CodeEditor* input() { return window->inputEditor(); }
    CodeEditor* result() { return window->resultEditor(); }
};

TEST_F(EditorModesTest, ChangingTheConversionDirectionSwapsTheModes) {
    select("JSON <-> YAML");
    EXPECT_EQ(input()->effectiveMode(), SyntaxMode::json);
    EXPECT_EQ(result()->effectiveMode(), SyntaxMode::yaml);
    auto* combo = find<QComboBox>("ConversionComboBox");
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(combo->findData(int(YAMLType::toJson)));
    app->setInputString("a: 1");
    settle(1.0);
    EXPECT_EQ(result()->effectiveMode(), SyntaxMode::json);
    EXPECT_EQ(input()->effectiveMode(), SyntaxMode::yaml);
}

TEST_F(EditorModesTest, TheViewMenuOverridesEachEditorUntilAutomaticAndShowsWhatIsChecked) {
    select("Beautify JSON ");
    menuEntry("resultSyntax-yaml")->trigger();
    settle();
    EXPECT_EQ(result()->effectiveMode(), SyntaxMode::yaml);
    EXPECT_EQ(input()->effectiveMode(), SyntaxMode::json) << "the other editor is not touched";
    select("Beautify XML ");
    EXPECT_EQ(result()->effectiveMode(), SyntaxMode::yaml) << "the user's choice outlives a new selection";
    EXPECT_EQ(input()->effectiveMode(), SyntaxMode::xml);
    menuEntry("resultSyntaxAutomatic")->trigger();
    settle();
    EXPECT_EQ(result()->effectiveMode(), SyntaxMode::xml);

    // Telling the input's kind carries through an action that keeps it.
    select("Sort Lines");
    EXPECT_EQ(result()->effectiveMode(), SyntaxMode::plain);
    menuEntry("inputSyntax-csv")->trigger();
    settle();
    EXPECT_EQ(input()->effectiveMode(), SyntaxMode::csv);
    EXPECT_EQ(result()->effectiveMode(), SyntaxMode::csv);

    // The menu shows what is checked, however it was chosen.
    auto* automatic = menuEntry("resultSyntaxAutomatic");
    auto* menu = qobject_cast<QMenu*>(automatic->parent());
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    EXPECT_TRUE(automatic->isChecked());
    EXPECT_EQ(automatic->text(), "Automatic (CSV)");
    result()->setModeOverride(SyntaxMode::yaml);
    emit menu->aboutToShow();
    EXPECT_FALSE(automatic->isChecked());
    EXPECT_TRUE(menuEntry("resultSyntax-yaml")->isChecked());
}

class ThemeChoiceTest : public EditorModesTest {
protected:
    void SetUp() override {
        if (const char* style = std::getenv("LEXORRA_STYLE")) m_style = style;
        ::unsetenv("LEXORRA_STYLE");
        m_palette = QApplication::palette();
        EditorModesTest::SetUp();
    }
    void TearDown() override {
        EditorModesTest::TearDown();
        QApplication::setPalette(m_palette);
        if (!m_style.empty()) ::setenv("LEXORRA_STYLE", m_style.c_str(), 1);
    }
    std::string m_style;
    QPalette m_palette;
};

TEST_F(ThemeChoiceTest, ChoosingAThemeAppliesItLiveAndRemembersIt) {
    select("Beautify JSON ");
    auto* dialog = window->openPreferences();
    auto* theme = dialog->findChild<QComboBox*>("themeComboBox");
    ASSERT_NE(theme, nullptr);

    for (const auto choice : {shell::ThemeChoice::dark, shell::ThemeChoice::light}) {
        theme->setCurrentIndex(theme->findData(int(choice)));
        settle();
        const QColor base = shell::themePalette(choice == shell::ThemeChoice::dark).color(QPalette::Base);
        EXPECT_EQ(QApplication::palette().color(QPalette::Base), base);
        ASSERT_NE(result()->currentLexer(), nullptr);
        EXPECT_EQ(result()->currentLexer()->paper(0), base) << "the lexer's page follows the theme";
        EXPECT_EQ(shell::loadThemeChoice(Settings()), choice);
        // Without a lexer the editor's own page shows, and it must not be the one kept from before.
        result()->setModeOverride(SyntaxMode::plain);
        EXPECT_EQ(result()->paper(), base);
        result()->setModeOverride(std::nullopt);
    }

    // A new dialog shows the stored choice.
    shell::PreferencesDialog again(*app, *settings);
    EXPECT_EQ(again.findChild<QComboBox*>("themeComboBox")->currentData().toInt(), int(shell::ThemeChoice::light));
}

TEST_F(ThemeChoiceTest, StoredValuesThatMeanNothingFollowTheDesktop) {
    for (const Value& stored : {Value(std::string("purple")), Value(true), Value(std::string("Dark"))}) {
        settings->store(StoreKind::standard).setValue("theme", stored);
        EXPECT_EQ(shell::loadThemeChoice(*settings), shell::ThemeChoice::followDesktop);
    }
    // The environment decides over the stored choice (the choice itself is seen applied above).
    ::setenv("LEXORRA_STYLE", "dark", 1);
    EXPECT_TRUE(shell::themeIsDark(shell::ThemeChoice::light));
    ::unsetenv("LEXORRA_STYLE");
}

TEST_F(EditorModesTest, WelcomeIsShownOnceAndRemembered) {
    auto* dialog = shell::showWelcomeOnce(*settings, window.get());
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    dialog->accept();
    settle();

    EXPECT_EQ(shell::showWelcomeOnce(*settings, window.get()), nullptr);
    EXPECT_FALSE(shell::welcomeWanted(Settings())) << "a later start reads the store again";
    // An ill-typed mark does not suppress it.
    for (const Value& mark : {Value(std::string("yes")), Value(false)}) {
        settings->store(StoreKind::standard).setValue("welcomeScreenShown", mark);
        EXPECT_TRUE(shell::welcomeWanted(*settings));
    }
}

// Pasting megabytes must not hold the window up: the text is shown plain, the controller does
// not recompute it live, and the longest time the event loop could not run stays short.
TEST_F(EditorModesTest, PastingTenMegabytesIsShownPlainWithoutALongStall) {
    select("Beautify JSON ");
    app->clearInputAndResults();
    settle(1.0);
    const std::string before = app->resultString();
    ASSERT_TRUE(app->liveResults());
    QString big = "[";
    big.reserve(10'000'100);
    while (big.size() < 10'000'000)
        big += "{\"name\": \"value\", \"n\": 12345},\n";
    big += "0]";
    QApplication::clipboard()->setText(big);
    shell::StallWatchdog watchdog;
    watchdog.start();
    QElapsedTimer clock;
    clock.start();
    input()->setFocus();
    input()->paste();
    QTRY_VERIFY_WITH_TIMEOUT(!input()->loading(), 30'000);
    settle(0.6);
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
    watchdog.stop();
    const qint64 total = clock.elapsed();
    std::printf("[ figures  ] paste of %lld characters: %lld ms in all, longest stall %lld ms\n",
                static_cast<long long>(big.size()), static_cast<long long>(total),
                static_cast<long long>(watchdog.longestStallMs()));
    EXPECT_EQ(input()->text().size(), big.size());
    EXPECT_EQ(app->inputString().size(), size_t(big.size()));
    EXPECT_TRUE(input()->isLargeText());
    EXPECT_EQ(app->resultString(), before) << "a text this long is not recomputed live";
    // Generous: this runs under the address sanitizer on a shared machine. Wrapped, the same
    // paste held the window for about 30 s.
    EXPECT_LT(watchdog.longestStallMs(), 8000);
    // An explicit run shows the large result plain as well.
    app->runSelected();
    settle();
    EXPECT_GT(result()->text().size(), big.size());
    EXPECT_TRUE(result()->isLargeText());
    // Keystrokes still reach the controller at once, and screen readers are not offered the
    // character offsets that cost a count from the start at every keystroke.
    const auto accessibleText = [this] { return QAccessible::queryAccessibleInterface(input())->textInterface(); };
    EXPECT_EQ(accessibleText(), nullptr);
    QTest::keyClicks(input(), "zq");
    EXPECT_TRUE(app->inputString().ends_with("0]zq"));
    EXPECT_EQ(app->inputString().size(), size_t(big.size()) + 2);

    // Back below the limit, the editor is an ordinary one again.
    input()->selectAll();
    QTest::keyClicks(input(), "small");
    EXPECT_EQ(app->inputString(), "small");
    EXPECT_FALSE(input()->isLargeText());
    EXPECT_NE(accessibleText(), nullptr);
    QTest::keyClick(input(), Qt::Key_Backspace);
    EXPECT_EQ(app->inputString(), "smal");
}

} // namespace
} // namespace lexorra::testing
