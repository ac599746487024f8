// The stand-in screenshot portal as a program of its own, for trying the application by hand
// on a private bus:
//   dbus-run-session -- sh -c 'portal_standin picture.png & sleep 0.5; lexorra'
// Arguments: PICTURE [picture|cancel|otherError|silent|refuse] [DELAY_MS]
#include "shell/PortalStandIn.h"

#include <QGuiApplication>

#include <cstdio>
#include <map>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    using Answer = lexorra::testing::ScreenshotPortalStandIn::Answer;
    const std::map<std::string, Answer> answers = {{"picture", Answer::picture},
                                                   {"cancel", Answer::cancel},
                                                   {"otherError", Answer::otherError},
                                                   {"silent", Answer::silent},
                                                   {"refuse", Answer::refuse}};
    if (argc < 2 || (argc > 2 && !answers.contains(argv[2]))) {
        std::fprintf(stderr, "usage: %s PICTURE [picture|cancel|otherError|silent|refuse] [DELAY_MS]\n", argv[0]);
        return 2;
    }
    const QImage picture(QString::fromLocal8Bit(argv[1]));
    if (picture.isNull()) {
        std::fprintf(stderr, "%s is not a picture\n", argv[1]);
        return 2;
    }
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "lexorra-portal-standin";
    lexorra::testing::ScreenshotPortalStandIn portal(QDBusConnection::sessionBus(), dir);
    portal.answerWith(argc > 2 ? answers.at(argv[2]) : Answer::picture, picture, argc > 3 ? std::atoi(argv[3]) : 0);
    if (!portal.publish()) {
        std::fprintf(stderr, "cannot take the portal's name on the session bus\n");
        return 1;
    }
    // Started on demand by a test's bus, it must end with that bus.
    QTimer busCheck;
    QObject::connect(&busCheck, &QTimer::timeout, &app, [] {
        if (!QDBusConnection::sessionBus().isConnected()) QCoreApplication::quit();
    });
    busCheck.start(100);
    std::printf("stand-in portal ready\n");
    std::fflush(stdout);
    return app.exec();
}
