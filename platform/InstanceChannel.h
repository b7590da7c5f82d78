// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;

// The way a later start of the program reaches the running copy: a Unix socket beside the lock
// file, in the user's private folder and itself private. A client sends one request, a line of
// tab-separated UTF-8 fields of which the first names it, and reads the reply until the running
// copy closes the connection; a request that has no reply is answered by the close alone.
//
// The running copy takes connections of its own user only and at most MaxConnections at once;
// one whose request is longer than MaxRequestBytes or not complete within RequestTimeoutMs is
// closed unanswered, so nothing another program sends can hold memory or the program's time.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QString name;
        QStringList arguments;
    };
    // Answers a request other than a start; what it returns is sent back (nothing: no reply).
    using Answerer = std::function<QByteArray(const Request&)>;

    static constexpr int MaxConnections = 8;
    static constexpr int MaxRequestBytes = 4096;
    static constexpr int RequestTimeoutMs = 2000;

    explicit InstanceChannel(const QString& socketPath, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // Starts listening; a socket left behind by a copy that died is replaced. Only the copy
    // that holds the lock may call this.
    bool listen();
    void setAnswerer(Answerer answerer);

    // Sends the request to the running copy and returns its reply; nothing when none listens,
    // it does not answer in time, or the request cannot be sent (too long, or a field holds a
    // tab or a line end).
    static std::optional<QByteArray> ask(const QString& socketPath, const Request& request);
    // Tells the running copy that the program was started again; false when none listens.
    static bool handOver(const QString& socketPath);
    // The socket beside the lock file of the given path.
    static QString besideLock(const QString& lockPath);

signals:
    // The program was started again while this copy runs.
    void startedAgain();

private:
    struct Connection;

    void acceptConnections();
    void readRequest(Connection& connection);
    void answer(Connection& connection);
    void writeReply(Connection& connection);
    void drop(Connection& connection);

    QString socketPath;
    int listener = -1;
    QSocketNotifier* listening = nullptr;
    std::vector<std::unique_ptr<Connection>> connections;
    int openConnections = 0;
    Answerer answerer;
};
