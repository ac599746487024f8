// lexorra-intents: the automation handler of the application group, a D-Bus session
// service started on demand. It answers from the shared workflow list, read on each call.
#include "intents/SharedWorkflows.h"
#include "intents/dbus/IntentsService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>

#include <clocale>
#include <cstdio>
#include <cstring>

namespace {

// Answered before any bus connection, so that they work where no session bus runs.
int answerCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("lexorra-intents %s\n", LEXORRA_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: lexorra-intents [--version | --help]\n"
                        "Answers automation intents on the D-Bus session bus as org.lexorra.Lexorra.Intents\n"
                        "(object /org/lexorra/Lexorra/Intents). The bus starts it on demand.\n");
            return 0;
        }
        std::fprintf(stderr, "lexorra-intents: error: unknown argument \"%s\" (see --help)\n", argv[i]);
        return 2;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (int status = answerCommandLine(argc, argv); status >= 0) return status;
    std::setlocale(LC_ALL, "C.UTF-8");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("lexorra-intents");

    auto bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "lexorra-intents: no D-Bus session bus: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    lexorra::intents::IntentsService service(lexorra::intents::IntentHandler(lexorra::intents::loadSharedWorkflows));
    if (!bus.registerObject("/org/lexorra/Lexorra/Intents", &service, QDBusConnection::ExportAllSlots)) {
        std::fprintf(stderr, "lexorra-intents: cannot register the object\n");
        return 1;
    }
    if (!bus.registerService("org.lexorra.Lexorra.Intents")) {
        std::fprintf(stderr, "lexorra-intents: the name is taken: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    // A service started on demand ends with its bus rather than lingering on.
    bus.connect(QString(), "/org/freedesktop/DBus/Local", "org.freedesktop.DBus.Local", "Disconnected", &app,
                SLOT(quit()));
    return app.exec();
}
