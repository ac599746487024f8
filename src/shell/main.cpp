// lexorra: the desktop application.
#include "core/SharedApiKey.h"
#include "core/AppManager.h"
#include "core/SettingsStore.h"
#include "shell/DesktopServices.h"
#include "shell/GlobalShortcuts.h"
#include "shell/MainWindow.h"
#include "shell/QtScheduler.h"
#include "shell/ScreenCapture.h"
#include "shell/ShellTimings.h"
#include "shell/SingleInstance.h"
#include "shell/Theme.h"
#include "shell/WelcomeDialog.h"

#include <QApplication>
#include <QDBusConnection>
#include <QEventLoop>
#include <QIcon>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <cstring>

namespace {

const char* const usage = "Usage: lexorra [--version | --help] [FILE...]\n"
                          "The text transformation window; each FILE is loaded as the input. When Lexorra\n"
                          "already runs, the files go to its window.\n"
                          "\n"
                          "  --version  print the version and exit\n"
                          "  --help     print this help and exit\n";

// Answered before Qt starts, so that they need no display.
int answerCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("lexorra %s\n", LEXORRA_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
    }
    return -1;
}

// What is left once Qt has taken its own options (-platform, -style, ...).
bool filesFromArguments(QStringList arguments, QStringList& files) {
    arguments.removeFirst();
    bool optionsEnded = false;
    for (const auto& argument : arguments) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.startsWith('-') && argument != "-") {
            std::fprintf(stderr, "lexorra: error: unknown option \"%s\"\n%s", qPrintable(argument), usage);
            return false;
        } else {
            files << argument;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (int status = answerCommandLine(argc, argv); status >= 0) return status;
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

    QStringList files;
    if (!filesFromArguments(QApplication::arguments(), files)) return 2;
    const QString instanceName = "lexorra-" + qEnvironmentVariable("USER", "user");
    if (lexorra::shell::SingleInstance::handOver(instanceName, files)) return 0;
    lexorra::shell::SingleInstance instance(instanceName);
    instance.listen();

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
                                          {.ignoreLineBreaks =
                                               [&] {
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
    lexorra::shell::GlobalShortcuts shortcuts(QDBusConnection::sessionBus());
    QObject::connect(&shortcuts, &lexorra::shell::GlobalShortcuts::activated, &window, [&](const QString& id) {
        if (id == lexorra::shell::GlobalShortcuts::runWorkflowToClipboard) manager.runActiveSequenceOnClipboard();
        if (id == lexorra::shell::GlobalShortcuts::captureScreen) capture.readQRCode();
    });
    shortcuts.start();
    window.setSettings(&settings);
    const auto open = [&](const QStringList& paths) {
        const QStringList unreadable = lexorra::shell::openFilesAsInput(manager, paths);
        if (!unreadable.isEmpty())
            QMessageBox::warning(&window, QObject::tr("Error"),
                                 QObject::tr("Could not load file.") + "\n" + unreadable.join('\n'));
    };
    QObject::connect(&instance, &lexorra::shell::SingleInstance::activated, &window, [&](const QStringList& paths) {
        window.bringToFront();
        open(paths);
    });
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, [&] {
        // Without a tray to come back from, closing the window ends the application.
        if (!QSystemTrayIcon::isSystemTrayAvailable()) app.quit();
    });
    lexorra::shell::reportFirstExpose(&window);
    window.show();
    if (!files.isEmpty()) open(files);
    lexorra::shell::showWelcomeOnce(settings, &window);
    return app.exec();
}
