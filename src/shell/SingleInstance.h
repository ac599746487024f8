#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStringList>

namespace lexorra {
class AppManager;
}

namespace lexorra::shell {

// One application per user session: a later start hands its files to the running one and
// ends there, so "Open with" from a file manager lands in the window already on screen.
//
//     if (SingleInstance::handOver(name, files)) return 0;
//     SingleInstance instance(name);
//     instance.listen();
//     connect(&instance, &SingleInstance::activated, ...);
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QString name, QObject* parent = nullptr);
    // True when a running instance took the files. Paths are made absolute here: the running
    // instance works in a folder of its own.
    static bool handOver(const QString& name, const QStringList& files);
    // Starts answering later starts; a server left behind by a crashed instance is replaced.
    bool listen();

signals:
    // A later start: raise the window and open the files, if any.
    void activated(const QStringList& files);

private:
    QString m_name;
    QLocalServer m_server;
};

// Makes the files the input: one file as it is, several one after another, each read the way
// the command line reads text files. Returns the files that could not be read.
QStringList openFilesAsInput(AppManager& app, const QStringList& files);

} // namespace lexorra::shell
