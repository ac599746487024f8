#include "shell/PortalStandIn.h"
#include "shell/ShellFixture.h"

#include "shell/GlobalShortcuts.h"
#include "shell/PreferencesDialog.h"

#include <QDeadlineTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

#include <unistd.h>

namespace lexorra::testing {
namespace {

using shell::GlobalShortcuts;

// The window's shortcuts against the stand-in portal on a bus of the test's own.
class GlobalShortcutsTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        std::string why;
        if (!bus.start(why)) GTEST_SKIP() << "no private session bus for the stand-in portal: " << why;
        const QString id = QString::number(::getpid());
        client = bus.connect("shortcuts-client-" + id);
        portal =
            std::make_unique<ScreenshotPortalStandIn>(bus.connect("shortcuts-portal-" + id), home.root / "pictures");
        ASSERT_TRUE(portal->publish());
        window->setSettings(settings.get());
    }
    void TearDown() override {
        portal.reset();
        bus.stop();
        ShellFixture::TearDown();
    }
    template <class Done> bool waitUntil(Done done) {
        const QDeadlineTimer deadline(10000);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    QString shownInPreferences(const char* label) {
        auto* dialog = window->openPreferences();
        settle();
        auto* found = dialog->findChild<QLabel*>(label);
        return found && found->isVisibleTo(dialog) ? found->text() : QString();
    }

    PrivateBus bus{home.root / "bus"};
    QDBusConnection client{QString()};
    std::unique_ptr<ScreenshotPortalStandIn> portal;
};

TEST_F(GlobalShortcutsTest, BindsBothCommandsShowsTheirKeysAndForwardsPressesOfItsSession) {
    portal->offerShortcuts(true, {{GlobalShortcuts::runWorkflowToClipboard, "Ctrl+Alt+R"}});
    GlobalShortcuts shortcuts(client);
    shortcuts.start();
    ASSERT_TRUE(waitUntil([&] { return shortcuts.state() == GlobalShortcuts::State::bound; }))
        << shortcuts.problem().toStdString();
    const auto bound = portal->boundShortcuts();
    ASSERT_EQ(bound.size(), 2u);
    EXPECT_EQ(bound[0].id, GlobalShortcuts::runWorkflowToClipboard);
    EXPECT_EQ(bound[0].properties.value("description").toString(), "Run selected Workflow to clipboard");
    EXPECT_EQ(bound[1].id, GlobalShortcuts::captureScreen);

    EXPECT_EQ(shownInPreferences("globalShortcutsKeysLabel"),
              "Run selected Workflow to clipboard: Ctrl+Alt+R\nCapture text from the screen: no key");
    window->openPreferences()->findChild<QPushButton*>("globalShortcutsConfigureButton")->click();
    EXPECT_TRUE(waitUntil([&] { return portal->configureCalls() == 1; }));

    QSignalSpy pressed(&shortcuts, &GlobalShortcuts::activated);
    portal->activate(GlobalShortcuts::runWorkflowToClipboard, "/org/freedesktop/portal/desktop/session/other/s");
    portal->activate(GlobalShortcuts::captureScreen);
    ASSERT_TRUE(waitUntil([&] { return !pressed.isEmpty(); }));
    settle();
    ASSERT_EQ(pressed.size(), 1);
    EXPECT_EQ(pressed.front().front().toString(), GlobalShortcuts::captureScreen);
}

TEST_F(GlobalShortcutsTest, PreferencesSayWhenTheDesktopHasNoSuchPortal) {
    portal->offerShortcuts(false);
    GlobalShortcuts shortcuts(client);
    shortcuts.start();
    ASSERT_TRUE(waitUntil([&] { return shortcuts.state() == GlobalShortcuts::State::unavailable; }));
    EXPECT_TRUE(shownInPreferences("globalShortcutsNoteLabel").contains("offers no global shortcuts portal"));
    EXPECT_EQ(shownInPreferences("globalShortcutsKeysLabel"), "");
}

} // namespace
} // namespace lexorra::testing
