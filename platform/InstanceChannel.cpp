// SPDX-License-Identifier: MIT
#include "InstanceChannel.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace {
const QByteArray hello = QByteArrayLiteral("started-again\n");
// A running copy answers at once; a second start never waits long for one that hangs.
constexpr int HandOverTimeout = 1000;
} // namespace

InstanceChannel::InstanceChannel(const QString& socketPath, QObject* parent)
    : QObject(parent), socketPath(socketPath)
{}

InstanceChannel::~InstanceChannel() = default;

QString InstanceChannel::besideLock(const QString& lockPath)
{
    return QFileInfo(lockPath).absolutePath() + QStringLiteral("/nudgeon.socket");
}

bool InstanceChannel::listen()
{
    if (server)
        return server->isListening();
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketPath);
    if (!server->listen(socketPath))
        return false;
    connect(server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                // Only the whole greeting counts: anything else on the socket is ignored.
                if (!socket->canReadLine())
                    return;
                if (socket->readLine(64) == hello)
                    emit startedAgain();
                socket->disconnectFromServer();
            });
        }
    });
    return true;
}

bool InstanceChannel::handOver(const QString& socketPath)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(HandOverTimeout))
        return false;
    socket.write(hello);
    const bool sent = socket.waitForBytesWritten(HandOverTimeout);
    socket.disconnectFromServer();
    return sent;
}
