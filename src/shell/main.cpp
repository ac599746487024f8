// lexorra: the desktop application.
#include "actions/data/openai/SharedApiKey.h"
#include "core/AppManager.h"
#include "core/SettingsStore.h"
#include "shell/DesktopServices.h"
#include "shell/MainWindow.h"
#include "shell/QtScheduler.h"
#include "shell/ScreenCapture.h"
#include "shell/ShellTimings.h"
#include "shell/Theme.h"
#include "shell/WelcomeDialog.h"

#include <QApplication>
#include <QIcon>
#include <QEventLoop>
#include <QTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSystemTrayIcon>

#include <clocale>
#include <cstdio>

namespace {

// A second launch hands over to the running instance, which raises its window.
bool handOverToRunningInstance(const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name);
    return socket.waitForConnected(300);
}

} // namespace

int main(int argc, char** argv) {
    lexorra::shell::markLaunch();
    std::setlocale(LC_ALL, "");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Lexorra");
    QApplication::setOrganizationName("lexorra");
    QApplication::setDesktopFileName("org.lexorra.Lexorra");
    QApplication::setWindowIcon(QIcon::fromTheme("org.lexorra.Lexorra", QIcon(":/icons/org.lexorra.Lexorra.svg")));
    QApplication::setQuitOnLastWindowClosed(false);
    // Read before our own palette replaces the desktop's.
    lexorra::shell::desktopPrefersDark();

    const QString instanceName = "lexorra-" + qEnvironmentVariable("USER", "user");
    if (handOverToRunningInstance(instanceName)) return 0;
    QLocalServer::removeServer(instanceName);
    QLocalServer server;
    server.listen(instanceName);

    lexorra::Settings settings;
    lexorra::shell::applyTheme(app, lexorra::shell::themeIsDark(lexorra::shell::loadThemeChoice(settings)));
    lexorra::shell::StallWatchdog::fromEnvironment(&app);
    lexorra::StoredSettings standard(settings);
    lexorra::shell::QtScheduler scheduler;
    lexorra::shell::DesktopClipboard clipboard;
    lexorra::shell::NoticeWindow notices;
    lexorra::AppManager manager({.scheduler = scheduler,
                                 .settings = standard,
                                 .clipboard = &clipboard,
                                 .notices = &notices,
                                 .stores = &settings});
    lexorra::openai::moveSharedApiKeyToSecretService(settings);
    manager.setApiKey(lexorra::openai::readSharedApiKey());
    manager.startUp();

    lexorra::shell::MainWindow window(manager);
    lexorra::shell::ScreenCapture capture(manager, clipboard, notices,
                                          {.ignoreLineBreaks = [&] {
                                               settings.reload();
                                               return settings.boolean("IgnoreLineBreaks");
                                           },
                                           .bringToFront = [&] { window.bringToFront(); },
                                           .closePopover = {}});
    // Our own window would hide what the user wants to read: step aside while they pick.
    capture.pickRegion = [&](const std::string& file) {
        const bool wasShown = window.isVisible() && !window.isMinimized();
        if (wasShown) {
            window.hide();
            QEventLoop settle;
            QTimer::singleShot(250, &settle, &QEventLoop::quit);
            settle.exec();
        }
        const bool picked = lexorra::shell::captureRegionToFile(file);
        if (wasShown) window.show();
        return picked;
    };
    window.setScreenCapture(&capture);
    window.setSettings(&settings);
    QObject::connect(&server, &QLocalServer::newConnection, &window, [&] {
        window.show();
        window.raise();
        window.activateWindow();
    });
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, [&] {
        // Without a tray to come back from, closing the window ends the application.
        if (!QSystemTrayIcon::isSystemTrayAvailable()) app.quit();
    });
    lexorra::shell::reportFirstExpose(&window);
    window.show();
    lexorra::shell::showWelcomeOnce(settings, &window);
    return app.exec();
}
