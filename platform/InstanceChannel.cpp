// SPDX-License-Identifier: MIT
#include "platform/InstanceChannel.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
const QString startedAgainName = QStringLiteral("started-again");
// A running copy answers at once, or once the connections it holds have had their time; a
// later start never waits long for one that hangs.
constexpr int AskTimeoutMs = 3 * InstanceChannel::RequestTimeoutMs;
constexpr qsizetype MaxReplyBytes = 1024 * 1024;
// Connections taken in one go, so that a flood of them cannot hold up the event loop.
constexpr int AcceptsPerWakeUp = 64;
// How long the channel stops accepting when the system is out of file descriptors.
constexpr int AcceptPauseMs = 200;

std::optional<sockaddr_un> addressOf(const QString& socketPath)
{
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address = {};
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return std::nullopt;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return address;
}

const sockaddr* asSocketAddress(const sockaddr_un& address)
{
    return reinterpret_cast<const sockaddr*>(&address);
}

std::optional<QByteArray> lineOf(const InstanceChannel::Request& request)
{
    const QStringList fields = QStringList{request.name} + request.arguments;
    for (const QString& field : fields)
        if (field.contains(QLatin1Char('\t')) || field.contains(QLatin1Char('\n')))
            return std::nullopt;
    QByteArray line = fields.join(QLatin1Char('\t')).toUtf8();
    if (line.size() > InstanceChannel::MaxRequestBytes)
        return std::nullopt;
    return line + '\n';
}

InstanceChannel::Request requestOf(const QByteArray& line)
{
    QStringList fields = QString::fromUtf8(line).split(QLatin1Char('\t'));
    const QString name = fields.takeFirst();
    return {name, fields};
}

// Waits until fd is ready for events or the deadline passes.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    pollfd watched = {fd, events, 0};
    for (;;) {
        const int ready = ::poll(&watched, 1, int(deadline.remainingTime()));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

std::optional<QByteArray> exchange(int fd, const sockaddr_un& address, QByteArray line)
{
    const QDeadlineTimer deadline(AskTimeoutMs);
    // A full queue of connections is waited out: the running copy drains it at once.
    while (::connect(fd, asSocketAddress(address), sizeof address) != 0) {
        if ((errno != EAGAIN && errno != EINTR) || deadline.hasExpired())
            return std::nullopt;
        QThread::msleep(10);
    }
    while (!line.isEmpty()) {
        const ssize_t sent = ::send(fd, line.constData(), size_t(line.size()), MSG_NOSIGNAL);
        if (sent > 0)
            line.remove(0, sent);
        else if ((errno != EAGAIN && errno != EINTR) || !waitFor(fd, POLLOUT, deadline))
            return std::nullopt;
    }
    ::shutdown(fd, SHUT_WR);
    QByteArray reply;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got == 0)
            return reply;
        if (got > 0) {
            if (reply.size() + got > MaxReplyBytes)
                return std::nullopt;
            reply.append(buffer, got);
        } else if ((errno != EAGAIN && errno != EINTR) || !waitFor(fd, POLLIN, deadline)) {
            return std::nullopt;
        }
    }
}
} // namespace

struct InstanceChannel::Connection
{
    explicit Connection(int fd)
        : fd(fd), readable(fd, QSocketNotifier::Read), writable(fd, QSocketNotifier::Write)
    {
        writable.setEnabled(false);
        deadline.setSingleShot(true);
    }

    int fd;
    QSocketNotifier readable;
    QSocketNotifier writable;
    QTimer deadline;
    QByteArray request;
    QByteArray reply;
};

InstanceChannel::InstanceChannel(const QString& socketPath, QObject* parent)
    : QObject(parent), socketPath(socketPath)
{}

InstanceChannel::~InstanceChannel()
{
    for (const std::unique_ptr<Connection>& connection : connections)
        drop(*connection);
    if (listener >= 0) {
        delete listening;
        listening = nullptr;
        ::close(listener);
        ::unlink(QFile::encodeName(socketPath).constData());
    }
}

QString InstanceChannel::besideLock(const QString& lockPath)
{
    return QFileInfo(lockPath).absolutePath() + QStringLiteral("/nudgeon.socket");
}

void InstanceChannel::setAnswerer(Answerer newAnswerer)
{
    answerer = std::move(newAnswerer);
}

bool InstanceChannel::listen()
{
    if (listener >= 0)
        return true;
    const std::optional<sockaddr_un> address = addressOf(socketPath);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (!address || fd < 0) {
        qWarning().noquote() << "cannot listen on" << socketPath;
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    const QByteArray path = QFile::encodeName(socketPath);
    ::unlink(path.constData());
    // The folder is the user's alone already; the socket is made private as well before any
    // connection is taken.
    if (::bind(fd, asSocketAddress(*address), sizeof *address) != 0 || ::chmod(path.constData(), 0600) != 0 ||
        ::listen(fd, MaxConnections) != 0) {
        qWarning().noquote() << "cannot listen on" << socketPath << ":" << std::strerror(errno);
        ::close(fd);
        return false;
    }
    listener = fd;
    listening = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(listening, &QSocketNotifier::activated, this, &InstanceChannel::acceptConnections);
    return true;
}

void InstanceChannel::acceptConnections()
{
    for (int taken = 0; taken < AcceptsPerWakeUp; ++taken) {
        if (openConnections >= MaxConnections) {
            // Later ones wait in the system's short queue, or are refused by it, until one ends.
            listening->setEnabled(false);
            return;
        }
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                listening->setEnabled(false);
                QTimer::singleShot(AcceptPauseMs, this, [this] { listening->setEnabled(true); });
            }
            return;
        }
        ucred peer = {};
        socklen_t size = sizeof peer;
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != ::geteuid()) {
            ::close(fd);
            continue;
        }
        connections.push_back(std::make_unique<Connection>(fd));
        Connection& connection = *connections.back();
        ++openConnections;
        connect(&connection.readable, &QSocketNotifier::activated, this,
                [this, &connection] { readRequest(connection); });
        connect(&connection.writable, &QSocketNotifier::activated, this,
                [this, &connection] { writeReply(connection); });
        connect(&connection.deadline, &QTimer::timeout, this, [this, &connection] { drop(connection); });
        connection.deadline.start(RequestTimeoutMs);
    }
}

void InstanceChannel::readRequest(Connection& connection)
{
    char buffer[512];
    for (;;) {
        const ssize_t got = ::recv(connection.fd, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno == EAGAIN)
            return;
        if (got <= 0) {
            // Closed or broken before the request was whole.
            drop(connection);
            return;
        }
        const char* end = static_cast<const char*>(std::memchr(buffer, '\n', size_t(got)));
        connection.request.append(buffer, end ? end - buffer : got);
        if (connection.request.size() > MaxRequestBytes) {
            drop(connection);
            return;
        }
        if (end) {
            connection.readable.setEnabled(false);
            answer(connection);
            return;
        }
    }
}

void InstanceChannel::answer(Connection& connection)
{
    const Request request = requestOf(connection.request);
    connection.request.clear();
    // Only the bare greeting opens the running copy's dialog.
    if (request.name == startedAgainName && request.arguments.isEmpty())
        emit startedAgain();
    else if (answerer)
        connection.reply = answerer(request);
    writeReply(connection);
}

void InstanceChannel::writeReply(Connection& connection)
{
    while (!connection.reply.isEmpty()) {
        const ssize_t sent = ::send(connection.fd, connection.reply.constData(),
                                    size_t(connection.reply.size()), MSG_NOSIGNAL);
        if (sent > 0) {
            connection.reply.remove(0, sent);
        } else if (errno == EAGAIN) {
            // A reader that takes nothing for a while is given up on like a silent sender.
            connection.writable.setEnabled(true);
            connection.deadline.start(RequestTimeoutMs);
            return;
        } else if (errno != EINTR) {
            break;
        }
    }
    drop(connection);
}

void InstanceChannel::drop(Connection& connection)
{
    if (connection.fd < 0)
        return;
    connection.readable.setEnabled(false);
    connection.writable.setEnabled(false);
    connection.deadline.stop();
    ::close(connection.fd);
    connection.fd = -1;
    --openConnections;
    if (listening)
        listening->setEnabled(true);
    // Its notifier may be the caller: the connection goes once the event loop is back.
    QMetaObject::invokeMethod(
        this,
        [this, gone = &connection] {
            connections.erase(
                std::find_if(connections.begin(), connections.end(),
                             [gone](const std::unique_ptr<Connection>& held) { return held.get() == gone; }));
        },
        Qt::QueuedConnection);
}

std::optional<QByteArray> InstanceChannel::ask(const QString& socketPath, const Request& request)
{
    const std::optional<sockaddr_un> address = addressOf(socketPath);
    const std::optional<QByteArray> line = lineOf(request);
    if (!address || !line)
        return std::nullopt;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::nullopt;
    const std::optional<QByteArray> reply = exchange(fd, *address, *line);
    ::close(fd);
    return reply;
}

bool InstanceChannel::handOver(const QString& socketPath)
{
    return ask(socketPath, {startedAgainName, {}}).has_value();
}
