// SPDX-License-Identifier: MIT
#include "platform/LockFileGuard.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// An environment variable set for one test.
struct ScopedVariable
{
    ScopedVariable(const char* name, const QByteArray& value) : name(name), old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedVariable() { old.isNull() ? qunsetenv(name) : qputenv(name, old); }
    const char* name;
    QByteArray old;
};
} // namespace

TEST(LockFileGuard, OnlyOneCopyHoldsTheLock)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("nudgeon.lock");
    {
        LockFileGuard first(path);
        ASSERT_EQ(first.claim(), InstanceGuard::Claim::Ours);
        EXPECT_EQ(first.claim(), InstanceGuard::Claim::Ours);
        LockFileGuard second(path);
        EXPECT_EQ(second.claim(), InstanceGuard::Claim::HeldElsewhere);
    }
    // Once the first copy has ended, the next one runs.
    LockFileGuard third(path);
    EXPECT_EQ(third.claim(), InstanceGuard::Claim::Ours);
}

TEST(LockFileGuard, ALongRunningCopyKeepsItsLock)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("nudgeon.lock");
    LockFileGuard first(path);
    ASSERT_EQ(first.claim(), InstanceGuard::Claim::Ours);
    // As if the first copy had been running for a day.
    QFile lock(path);
    ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        lock.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    lock.close();
    LockFileGuard second(path);
    EXPECT_EQ(second.claim(), InstanceGuard::Claim::HeldElsewhere);
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
    EXPECT_EQ(guard.claim(), InstanceGuard::Claim::Ours);
}

TEST(LockFileGuard, TheLockLivesInTheUsersRuntimeFolder)
{
    QTemporaryDir dir;
    ScopedVariable runtime("XDG_RUNTIME_DIR", dir.path().toUtf8());
    EXPECT_EQ(LockFileGuard::defaultPlace().lockPath, dir.filePath("nudgeon.lock"));
}

// A runtime folder others can change is passed over for a private folder in the user's state
// folder; where that one is not the user's alone, the place is refused in words naming it.
TEST(LockFileGuard, TheFallbackFolderIsTheUsersAlone)
{
    const std::vector<std::pair<std::string, bool>> cases{
        {"missing", false}, {"file", true}, {"open to all", true}, {"link", true}, {"another user's", true}};
    for (const auto& [kind, refused] : cases) {
        SCOPED_TRACE(kind);
        if (kind == "another user's" && ::geteuid() != 0)
            continue; // only root can give a folder away
        QTemporaryDir dir;
        const QString folder = dir.filePath("state/Nudgeon/run");
        const QByteArray native = QFile::encodeName(folder);
        ASSERT_TRUE(QDir().mkpath(dir.filePath("open")));
        ASSERT_TRUE(kind == "missing" || QDir().mkpath(dir.filePath("state/Nudgeon")));
        ::chmod(QFile::encodeName(dir.filePath("open")).constData(), 0777);
        if (kind == "file") {
            ASSERT_TRUE(QFile(folder).open(QIODevice::WriteOnly));
        } else if (kind == "link") {
            ASSERT_TRUE(QDir().mkdir(folder + ".real") && QFile::link(folder + ".real", folder));
        } else if (kind != "missing") {
            ASSERT_EQ(::mkdir(native.constData(), kind == "open to all" ? 0777 : 0700), 0);
            ::chmod(native.constData(), kind == "open to all" ? 0777 : 0700);
            ASSERT_TRUE(kind != "another user's" || ::chown(native.constData(), 65534, 65534) == 0);
        }
        ScopedVariable runtime("XDG_RUNTIME_DIR", dir.filePath("open").toUtf8());
        ScopedVariable state("XDG_STATE_HOME", dir.filePath("state").toUtf8());
        const LockFileGuard::Place place = LockFileGuard::defaultPlace();
        EXPECT_EQ(place.lockPath.isEmpty(), refused);
        EXPECT_EQ(place.problem.contains(folder), refused) << place.problem.toStdString();
        struct stat info = {};
        if (!refused) {
            EXPECT_EQ(place.lockPath, folder + "/nudgeon.lock");
            ASSERT_EQ(::lstat(native.constData(), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, 0700u);
            EXPECT_EQ(LockFileGuard(place.lockPath).claim(), InstanceGuard::Claim::Ours);
        }
    }
}

// A lock that cannot be made is a failure the user is told of, not another copy running.
TEST(LockFileGuard, ALockThatCannotBeMadeIsAFailure)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    for (const QString& path : {dir.filePath("missing/nudgeon.lock"), dir.filePath("folder")}) {
        LockFileGuard guard(path);
        EXPECT_EQ(guard.claim(), InstanceGuard::Claim::Failed);
        EXPECT_TRUE(guard.failure().contains(path)) << guard.failure().toStdString();
    }
}
