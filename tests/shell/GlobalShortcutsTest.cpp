#include "shell/PortalStandIn.h"
#include "shell/ShellFixture.h"

#include "shell/GlobalShortcuts.h"
#include "shell/PreferencesDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

namespace lexorra::testing {
namespace {

using shell::GlobalShortcuts;

// The window's shortcuts against the stand-in portal on a bus of the test's own.
class GlobalShortcutsTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        if (const std::string why = portal.start(); !why.empty()) GTEST_SKIP() << why;
        ASSERT_TRUE(portal.standIn->publish());
    }
    QString shownInPreferences(const char* label) {
        auto* dialog = window->openPreferences();
        settle();
        auto* found = dialog->findChild<QLabel*>(label);
        return found && found->isVisibleTo(dialog) ? found->text() : QString();
    }

    PrivatePortal portal{home.root};
};

TEST_F(GlobalShortcutsTest, BindsBothCommandsShowsTheirKeysAndForwardsPressesOfItsSession) {
    portal.standIn->offerShortcuts(true, {{GlobalShortcuts::runWorkflowToClipboard, "Ctrl+Alt+R"}});
    GlobalShortcuts shortcuts(portal.client);
    shortcuts.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shortcuts.state() == GlobalShortcuts::State::bound; }, 10000))
        << shortcuts.problem().toStdString();
    const auto bound = portal.standIn->boundShortcuts();
    ASSERT_EQ(bound.size(), 2u);
    EXPECT_EQ(bound[0].id, GlobalShortcuts::runWorkflowToClipboard);
    EXPECT_EQ(bound[0].properties.value("description").toString(), "Run selected Workflow to clipboard");
    EXPECT_EQ(bound[1].id, GlobalShortcuts::captureScreen);

    EXPECT_EQ(shownInPreferences("globalShortcutsKeysLabel"),
              "Run selected Workflow to clipboard: Ctrl+Alt+R\nCapture text from the screen: no key");
    window->openPreferences()->findChild<QPushButton*>("globalShortcutsConfigureButton")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return portal.standIn->configureCalls() == 1; }, 10000));

    QSignalSpy pressed(&shortcuts, &GlobalShortcuts::activated);
    portal.standIn->activate(GlobalShortcuts::runWorkflowToClipboard,
                             "/org/freedesktop/portal/desktop/session/other/s");
    portal.standIn->activate(GlobalShortcuts::captureScreen);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pressed.isEmpty(); }, 10000));
    settle();
    ASSERT_EQ(pressed.size(), 1);
    EXPECT_EQ(pressed.front().front().toString(), GlobalShortcuts::captureScreen);
}

TEST_F(GlobalShortcutsTest, PreferencesSayWhenTheDesktopHasNoSuchPortal) {
    portal.standIn->offerShortcuts(false);
    GlobalShortcuts shortcuts(portal.client);
    shortcuts.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shortcuts.state() == GlobalShortcuts::State::unavailable; }, 10000));
    EXPECT_TRUE(shownInPreferences("globalShortcutsNoteLabel").contains("offers no global shortcuts portal"));
    EXPECT_EQ(shownInPreferences("globalShortcutsKeysLabel"), "");
}

} // namespace
} // namespace lexorra::testing
