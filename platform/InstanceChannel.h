// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// The way a second start reaches the running copy: a local socket beside the lock file. The
// running copy listens; a second start says hello and ends.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    explicit InstanceChannel(const QString& socketPath, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // Starts listening; a socket left behind by a copy that died is replaced. Only the copy
    // that holds the lock may call this.
    bool listen();
    // Tells the running copy that the program was started again; false when none listens.
    static bool handOver(const QString& socketPath);
    // The socket beside the lock file of the given path.
    static QString besideLock(const QString& lockPath);

signals:
    // The program was started again while this copy runs.
    void startedAgain();

private:
    QString socketPath;
    QLocalServer* server = nullptr;
};
