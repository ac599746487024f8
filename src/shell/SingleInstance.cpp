#include "shell/SingleInstance.h"

#include "core/AppManager.h"
#include "core/TextFile.h"

#include <QDataStream>
#include <QFileInfo>
#include <QLocalSocket>

namespace lexorra::shell {

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), m_name(std::move(name)) {}

bool SingleInstance::handOver(const QString& name, const QStringList& files) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(300)) return false;
    QStringList absolute;
    for (const auto& file : files)
        absolute << QFileInfo(file).absoluteFilePath();
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << absolute;
    socket.write(message);
    // Unconnected at once when the bytes fit the socket buffer, which is the normal case.
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(1000);
    return true;
}

bool SingleInstance::listen() {
    QLocalServer::removeServer(m_name);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            auto* received = new QByteArray;
            connect(socket, &QLocalSocket::readyRead, socket,
                    [socket, received] { received->append(socket->readAll()); });
            // The message is whole once the sender has hung up; an older sender sends nothing.
            connect(socket, &QLocalSocket::disconnected, this, [this, socket, received] {
                received->append(socket->readAll());
                QStringList files;
                QDataStream in(received, QIODevice::ReadOnly);
                in >> files;
                delete received;
                socket->deleteLater();
                emit activated(files);
            });
        }
    });
    return m_server.listen(m_name);
}

QStringList openFilesAsInput(AppManager& app, const QStringList& files) {
    QStringList unreadable;
    std::string input;
    int read = 0;
    for (const auto& file : files) {
        auto text = readTextFile(file.toStdString());
        if (!text) {
            unreadable << file;
            continue;
        }
        if (read++ && !input.empty() && input.back() != '\n') input += '\n';
        input += *text;
    }
    if (read) app.setInputString(std::move(input));
    return unreadable;
}

} // namespace lexorra::shell
