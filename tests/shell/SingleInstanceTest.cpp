#include "shell/ShellFixture.h"

#include "shell/SingleInstance.h"

#include <QDeadlineTimer>
#include <QProcess>

#include <fstream>

namespace lexorra::testing {
namespace {

using shell::SingleInstance;

// A second start of the real program, from another folder and with a relative path, hands its
// file to this running instance, which loads it as the input the way text files are read.
TEST_F(ShellFixture, SecondStartHandsItsFileToTheRunningInstance) {
    const QString user = QString("handover-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance instance("lexorra-" + user);
    ASSERT_TRUE(instance.listen());
    QStringList received;
    QObject::connect(&instance, &SingleInstance::activated, [&](const QStringList& files) {
        received = files;
        EXPECT_TRUE(shell::openFilesAsInput(*app, files).isEmpty());
    });
    std::ofstream(home.root / "note.txt", std::ios::binary) << "caf\xe9 au lait\n"; // Windows-1252

    QProcess second;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("USER", user);
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(QString::fromStdString(home.root.string()));
    second.start(LEXORRA_APP_PATH, {"note.txt"});
    const QDeadlineTimer deadline(60000);
    while (second.state() != QProcess::NotRunning && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_EQ(second.exitStatus(), QProcess::NormalExit) << second.readAllStandardError().toStdString();
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    while (received.isEmpty() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    settle();
    EXPECT_EQ(received, QStringList{QString::fromStdString((home.root / "note.txt").string())});
    EXPECT_EQ(window->inputEditor()->text(), QString::fromUtf8("café au lait\n"));

    // Nobody listening: the start goes on as the first instance.
    EXPECT_FALSE(SingleInstance::handOver("lexorra-nobody-" + user, {"note.txt"}));
}

} // namespace
} // namespace lexorra::testing
