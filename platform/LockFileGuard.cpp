// SPDX-License-Identifier: MIT
#include "LockFileGuard.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

QString LockFileGuard::defaultLockPath()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        dir = QDir::tempPath() + QStringLiteral("/nudgeon-") + QString::number(getuid());
    QDir().mkpath(dir);
    return dir + QStringLiteral("/nudgeon.lock");
}

LockFileGuard::LockFileGuard() : LockFileGuard(defaultLockPath()) {}

LockFileGuard::LockFileGuard(const QString& lockPath) : lock(std::make_unique<QLockFile>(lockPath))
{
    // A running copy holds its lock however long it runs: only a dead owner makes it stale.
    lock->setStaleLockTime(0);
}

bool LockFileGuard::claim()
{
    return lock->isLocked() || lock->tryLock(0);
}
