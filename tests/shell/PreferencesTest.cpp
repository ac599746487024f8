#include "core/SharedApiKey.h"
#include "shell/ShellFixture.h"

#include "core/ActionFactory.h"
#include "shell/OptionsPanel.h"
#include "shell/PreferencesDialog.h"
#include "shell/SyntaxMode.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace lexorra::testing {
namespace {

using shell::EditorOptions;
using shell::PreferencesDialog;

class PreferencesTest : public ShellFixture {
protected:
    PreferencesDialog* open() {
        auto* dialog = window->openPreferences();
        EXPECT_NE(dialog, nullptr);
        settle();
        return dialog;
    }
    QCheckBox* box(PreferencesDialog* dialog, const char* name) {
        auto* b = dialog->findChild<QCheckBox*>(name);
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    // What a fresh reader of the stores sees, not what this process cached.
    std::optional<Value> stored(SettingName key) { return Settings().value(key); }
    bool hasAction(const std::string& name) {
        return std::ranges::any_of(app->actionsSeqArray(), [&](const auto& seq) { return seq->name == name; });
    }
};

TEST_F(PreferencesTest, ServiceHostIsStoredOnlyWhenItIsAHostName) {
    auto* dialog = open();
    auto* problem = dialog->findChild<QLabel*>("aiHostProblemLabel");
    ASSERT_NE(problem, nullptr);
    // A rejected address keeps the stored host, and the note names the host still in use.
    const struct {
        const char* typed;
        const char* stored;
        bool refused;
    } entries[] = {
        {" llm.example.org:8443 ", "llm.example.org:8443", false},
        {"http://elsewhere.example/v1", "llm.example.org:8443", true},
        {"", "", false},
    };
    for (const auto& e : entries) {
        enter(dialog->findChild<QLineEdit*>("aiHostLineEdit"), e.typed);
        EXPECT_EQ(Settings().string("AIHost"), e.stored) << e.typed;
        EXPECT_EQ(problem->isHidden(), !e.refused) << e.typed;
        EXPECT_TRUE(!e.refused || problem->text().contains(e.stored)) << problem->text().toStdString();
    }
    enter(dialog->findChild<QLineEdit*>("aiCABundleLineEdit"), " /etc/lexorra/ca.pem ");
    EXPECT_EQ(Settings().string("AICABundle"), "/etc/lexorra/ca.pem");
}

TEST_F(PreferencesTest, ApiKeyIsMaskedStoredInTheGroupStoreAndUnlocksTheAiAction) {
    auto* dialog = open();
    auto* key = dialog->findChild<QLineEdit*>("apiKeyLineEdit");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(hasAction("AI Conversion"));
    // The AI action's panel tells a user without a key where to set one.
    const auto panelNote = [this] {
        shell::OptionsPanel panel(makeDefault(TextActionType::chatGPT), *app);
        auto* note = panel.findChild<QLabel*>("panelNoteLabel");
        return note ? note->text().toStdString() : "";
    };
    EXPECT_EQ(panelNote(), "Set your OpenAI API Key on app settings.");
    enter(key, "  sk-test-123 ");
    settle();
    EXPECT_EQ(app->apiKey(), "sk-test-123");
    // Which store holds the key is the settings' own test; here it must reach them, never the user's file.
    EXPECT_EQ(Settings().string("apiKey"), "sk-test-123");
    EXPECT_EQ(readFile(home.standardFile()).find("sk-test"), std::string::npos) << "the key leaked into the user store";
    EXPECT_TRUE(hasAction("AI Conversion"));
    EXPECT_EQ(panelNote(), "");

    // A key with a line break inside is refused with a reason, the stored one kept.
    auto* problem = dialog->findChild<QLabel*>("apiKeyProblemLabel");
    ASSERT_NE(problem, nullptr);
    EXPECT_TRUE(problem->isHidden());
    enter(key, "sk-x\r\nX-Injected: yes");
    EXPECT_EQ(Settings().string("apiKey"), "sk-test-123");
    EXPECT_FALSE(problem->isHidden());
    enter(key, "sk-test-123");
    EXPECT_TRUE(problem->isHidden());

    auto* reveal = dialog->findChild<QPushButton*>("revealApiKeyButton");
    ASSERT_NE(reveal, nullptr);
    reveal->click();
    EXPECT_EQ(key->echoMode(), QLineEdit::Normal);
    reveal->click();
    EXPECT_EQ(key->echoMode(), QLineEdit::Password);

    // Clearing the key takes the action away again.
    enter(key, "");
    settle();
    EXPECT_FALSE(hasAction("AI Conversion"));
}

// The dialog shows what the stores hold, and its switches reach the controller and the stores.
TEST_F(PreferencesTest, SwitchesShowAndReachTheControllerAndTheStores) {
    settings->setValue("IgnoreLineBreaks", Value(true));
    settings->setValue("menuBarIcon", Value(false));
    settings->setValue("SyncFolder", Value((home.root / "shared").string()));
    auto* dialog = open();
    EXPECT_TRUE(box(dialog, "ignoreLineBreaksCheckBox")->isChecked());
    EXPECT_FALSE(box(dialog, "menuBarIconCheckBox")->isChecked());
    auto* folder = dialog->findChild<QLineEdit*>("syncFolderLineEdit");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->text().toStdString(), (home.root / "shared").string());
    EXPECT_TRUE(folder->isReadOnly());
    const struct {
        const char* box;
        SettingName key;
        bool (AppManager::*field)() const = nullptr;
    } switches[] = {
        {"liveResultsCheckBox", "LiveResults", &AppManager::liveResults},
        {"viewTextInfoCheckBox", "ViewTextInfo"},
        {"menuBarIconCheckBox", "menuBarIcon"},
        {"hideDockIconCheckBox", "HideDockIcon"},
        {"ignoreLineBreaksCheckBox", "IgnoreLineBreaks"},
        {"syncCheckBox", "iCloudSyncEnabled", &AppManager::iCloudSyncEnabled},
    };
    for (const auto& s : switches) {
        auto* b = box(dialog, s.box);
        ASSERT_NE(b, nullptr);
        const bool wanted = !b->isChecked();
        b->setChecked(wanted);
        settle();
        const auto value = stored(s.key);
        ASSERT_TRUE(value && value->isBool()) << s.key.text();
        EXPECT_EQ(value->asBool(), wanted) << s.key.text();
        if (s.field) {
            EXPECT_EQ((app.get()->*s.field)(), wanted) << s.key.text();
        }
    }
}

TEST_F(PreferencesTest, TextStatisticsLineCountsLargeTextsBesideTheWindow) {
    auto* info = find<QLabel>("textInfoLabel");
    ASSERT_NE(info, nullptr);
    EXPECT_FALSE(info->isVisible());
    auto* dialog = open();
    box(dialog, "viewTextInfoCheckBox")->setChecked(true);
    app->setInputString("two words\nthree more here\n");
    settle();
    EXPECT_TRUE(info->isVisible());
    EXPECT_EQ(info->text(), QString("%1 characters · 5 words · 3 lines").arg(26));
    app->setInputString("");
    settle();
    EXPECT_EQ(info->text(), "0 characters · 0 words · 0 lines");

    // Large texts are counted beside the window, and only the latest count shows.
    std::string large;
    for (int i = 0; i < 40000; ++i)
        large += "één word\n"; // 11 bytes, 8 characters, 2 words per line
    const QString counted = "360000 characters · 80000 words · 40001 lines";
    app->setInputString(large);
    settle();
    EXPECT_TRUE(QTest::qWaitFor([&] { return info->text() == counted; })) << info->text().toStdString();

    // A large text counted in the background, then at once a small one: the late count of
    // the large text must not replace the small one's.
    app->setInputString(large + "x");
    app->setInputString("a b");
    settle();
    QTest::qWait(500);
    EXPECT_EQ(info->text(), "3 characters · 2 words · 1 lines");
    box(dialog, "viewTextInfoCheckBox")->setChecked(false);
    EXPECT_FALSE(info->isVisible());
}

TEST_F(PreferencesTest, EditorOptionsApplyToBothEditorsAndPersist) {
    select("Beautify JSON ");
    auto* dialog = open();
    auto* input = window->inputEditor();
    auto* output = window->resultEditor();
    EXPECT_EQ(input->marginWidth(0), 0);
    EXPECT_EQ(input->wrapMode(), QsciScintilla::WrapWord);

    box(dialog, "showLineNumbersCheckBox")->setChecked(true);
    box(dialog, "wrapLinesCheckBox")->setChecked(false);
    box(dialog, "showInvisibleCharactersCheckBox")->setChecked(true);
    for (auto* editor : {input, output}) {
        EXPECT_GT(editor->marginWidth(0), 0);
        EXPECT_EQ(editor->wrapMode(), QsciScintilla::WrapNone);
        EXPECT_EQ(editor->whitespaceVisibility(), QsciScintilla::WsVisible);
        EXPECT_TRUE(editor->eolVisibility());
    }
    // The simple editor (what it drops is the editor's own test) greys the switches it overrides.
    box(dialog, "simpleTextEditorCheckBox")->setChecked(true);
    settle();
    EXPECT_TRUE(input->isSimple() && output->isSimple());
    EXPECT_FALSE(box(dialog, "showLineNumbersCheckBox")->isEnabled());
    Settings fresh;
    const EditorOptions kept = EditorOptions::load(fresh);
    EXPECT_TRUE(kept.showLineNumbers);
    EXPECT_TRUE(kept.showInvisibleCharacters);

    // A new window picks them up from the stores (the simple editor and no wrapping show there).
    shell::MainWindow second(*app);
    second.setSettings(&fresh);
    EXPECT_TRUE(second.inputEditor()->isSimple());
    EXPECT_EQ(second.inputEditor()->wrapMode(), QsciScintilla::WrapNone);
    // Leaving the simple editor brings colours and numbers back.
    box(dialog, "simpleTextEditorCheckBox")->setChecked(false);
    settle();
    EXPECT_EQ(output->effectiveMode(), shell::SyntaxMode::json);
    EXPECT_GT(output->marginWidth(0), 0);
}

} // namespace
} // namespace lexorra::testing
