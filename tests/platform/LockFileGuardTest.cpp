// SPDX-License-Identifier: MIT
#include "LockFileGuard.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(LockFileGuard, OnlyOneCopyHoldsTheLock)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("nudgeon.lock");
    {
        LockFileGuard first(path);
        ASSERT_TRUE(first.claim());
        EXPECT_TRUE(first.claim());
        LockFileGuard second(path);
        EXPECT_FALSE(second.claim());
    }
    // Once the first copy has ended, the next one runs.
    LockFileGuard third(path);
    EXPECT_TRUE(third.claim());
}

TEST(LockFileGuard, ALongRunningCopyKeepsItsLock)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("nudgeon.lock");
    LockFileGuard first(path);
    ASSERT_TRUE(first.claim());
    // As if the first copy had been running for a day.
    QFile lock(path);
    ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        lock.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    lock.close();
    LockFileGuard second(path);
    EXPECT_FALSE(second.claim());
}

TEST(LockFileGuard, ALockLeftByACrashedCopyIsTakenOver)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("nudgeon.lock");
    // A lock file naming a process that no longer runs.
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("999999999\nnudgeon\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    LockFileGuard guard(path);
    EXPECT_TRUE(guard.claim());
}

TEST(LockFileGuard, TheLockLivesInTheUsersRuntimeFolder)
{
    QTemporaryDir dir;
    const QByteArray old = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", dir.path().toUtf8());
    EXPECT_EQ(LockFileGuard::defaultLockPath(), dir.filePath("nudgeon.lock"));
    qputenv("XDG_RUNTIME_DIR", old);
}
