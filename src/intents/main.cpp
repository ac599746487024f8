// lexorra-intents: the automation handler of the application group, a D-Bus session
// service started on demand. It answers from the shared workflow list, read on each call.
#include "intents/SharedWorkflows.h"
#include "intents/dbus/IntentsService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>

#include <clocale>
#include <cstdio>

int main(int argc, char** argv) {
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
