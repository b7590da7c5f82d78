// SPDX-License-Identifier: MIT
#include "LockFileGuard.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Sets an environment variable for one test; unset when value is null.
struct ScopedVariable
{
    ScopedVariable(const char* name, const QByteArray& value)
        : name(name), old(qgetenv(name)), wasSet(qEnvironmentVariableIsSet(name))
    {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~ScopedVariable() { wasSet ? qputenv(name, old) : qunsetenv(name); }
    const char* name;
    QByteArray old;
    bool wasSet;
};

mode_t modeOf(const QString& path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}
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
    const LockFileGuard::Place place = LockFileGuard::defaultPlace();
    EXPECT_EQ(place.lockPath, dir.filePath("nudgeon.lock"));
    EXPECT_EQ(place.problem, QString());
}

// Without a trusted $XDG_RUNTIME_DIR the lock goes to a private folder in the user's state
// folder; one that another user can have made or can change is refused, in words naming it.
TEST(LockFileGuard, TheFallbackFolderIsTheUsersAlone)
{
    const bool root = ::geteuid() == 0;
    struct Case
    {
        const char* what;
        const char* runtime; // XDG_RUNTIME_DIR relative to the test's folder; null: unset
        std::function<bool(const QString& folder)> prepare;
        bool refused;
        bool rootOnly = false;
    };
    const auto makeFolder = [](const QString& folder, mode_t mode) {
        return QDir().mkpath(folder) && ::chmod(QFile::encodeName(folder).constData(), mode) == 0;
    };
    const std::vector<Case> cases{
        {"missing", nullptr, [](const QString&) { return true; }, false},
        {"missing, the runtime folder open to all", "open",
         [&](const QString& folder) { return makeFolder(QDir::cleanPath(folder + "/../../../open"), 0777); },
         false},
        {"the user's own, made before", nullptr,
         [&](const QString& folder) { return makeFolder(folder, 0700); }, false},
        {"a file", nullptr,
         [&](const QString& folder) {
             QFile file(folder);
             return makeFolder(QFileInfo(folder).path(), 0700) && file.open(QIODevice::WriteOnly);
         },
         true},
        {"open to all", nullptr, [&](const QString& folder) { return makeFolder(folder, 0777); }, true},
        {"a link to a private folder", nullptr,
         [&](const QString& folder) {
             return makeFolder(folder + ".real", 0700) && QFile::link(folder + ".real", folder);
         },
         true},
        {"another user's", nullptr,
         [&](const QString& folder) {
             return makeFolder(folder, 0700) &&
                    ::chown(QFile::encodeName(folder).constData(), 65534, 65534) == 0;
         },
         true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.rootOnly && !root)
            continue; // only root can give a folder away
        QTemporaryDir dir;
        const QString folder = dir.filePath("state/Nudgeon/run");
        ASSERT_TRUE(c.prepare(folder));
        ScopedVariable state("XDG_STATE_HOME", dir.filePath("state").toUtf8());
        ScopedVariable runtime("XDG_RUNTIME_DIR",
                               c.runtime ? dir.filePath(c.runtime).toUtf8() : QByteArray());
        const LockFileGuard::Place place = LockFileGuard::defaultPlace();
        if (c.refused) {
            EXPECT_TRUE(place.lockPath.isEmpty());
            EXPECT_TRUE(place.problem.contains(folder)) << place.problem.toStdString();
            continue;
        }
        EXPECT_EQ(place.problem, QString());
        EXPECT_EQ(place.lockPath, folder + "/nudgeon.lock");
        EXPECT_EQ(modeOf(folder), 0700u);
        LockFileGuard guard(place.lockPath);
        EXPECT_EQ(guard.claim(), InstanceGuard::Claim::Ours);
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
