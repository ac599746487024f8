#include "shell/ShellFixture.h"

#include "shell/SingleInstance.h"

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
    // The instance answers from this event loop, so the wait keeps it running.
    EXPECT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 60000));
    ASSERT_EQ(second.exitStatus(), QProcess::NormalExit) << second.readAllStandardError().toStdString();
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !received.isEmpty(); }, 10000));
    settle();
    EXPECT_EQ(received, QStringList{QString::fromStdString((home.root / "note.txt").string())});
    EXPECT_EQ(window->inputEditor()->text(), QString::fromUtf8("café au lait\n"));

    // Nobody listening: the start goes on as the first instance.
    EXPECT_FALSE(SingleInstance::handOver("lexorra-nobody-" + user, {"note.txt"}));
}

} // namespace
} // namespace lexorra::testing
