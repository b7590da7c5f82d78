// SPDX-License-Identifier: MIT
#include "platform/LockFileGuard.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Makes every missing folder of path, each private to the user; folders that exist keep their mode.
void makePrivateFolders(const QString& path)
{
    const QByteArray native = QFile::encodeName(QDir::cleanPath(path));
    for (qsizetype slash = native.indexOf('/', 1);; slash = native.indexOf('/', slash + 1)) {
        ::mkdir((slash < 0 ? native : native.left(slash)).constData(), 0700);
        if (slash < 0)
            break;
    }
}
} // namespace

QString LockFileGuard::folderProblem(const QString& path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return tr("The folder \"%1\" cannot be used: %2.").arg(path, systemError(errno));
    if (S_ISLNK(info.st_mode))
        return tr("\"%1\" is a link, not a folder of its own.").arg(path);
    if (!S_ISDIR(info.st_mode))
        return tr("\"%1\" is not a folder.").arg(path);
    if (info.st_uid != ::geteuid())
        return tr("The folder \"%1\" belongs to another user.").arg(path);
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return tr("The folder \"%1\" can be changed by other users (mode %2).")
            .arg(path)
            .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return {};
}

LockFileGuard::Place LockFileGuard::defaultPlace()
{
    const QString lockName = QStringLiteral("/nudgeon.lock");
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        const QString problem = QDir::isAbsolutePath(runtime)
                                    ? folderProblem(runtime)
                                    : tr("\"%1\" is not an absolute path.").arg(runtime);
        if (problem.isEmpty())
            return {runtime + lockName, {}};
        qWarning().noquote() << tr("XDG_RUNTIME_DIR is not used: %1").arg(problem);
    }
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    const QString folder = QDir::cleanPath(state + QStringLiteral("/Nudgeon/run"));
    makePrivateFolders(folder);
    const QString problem = folderProblem(folder);
    if (!problem.isEmpty())
        return {{}, problem};
    return {folder + lockName, {}};
}

LockFileGuard::LockFileGuard(const QString& lockPath) : lockPath(lockPath) {}

LockFileGuard::~LockFileGuard()
{
    if (fd >= 0)
        ::close(fd);
}

InstanceGuard::Claim LockFileGuard::claim()
{
    if (fd >= 0)
        return Claim::Ours;
    const int opened = ::open(QFile::encodeName(lockPath).constData(),
                              O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (opened < 0) {
        lastFailure = tr("The lock file \"%1\" cannot be made: %2.").arg(lockPath, systemError(errno));
        return Claim::Failed;
    }
    struct stat info = {};
    if (::fstat(opened, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(opened);
        lastFailure = tr("The lock file \"%1\" is not a file.").arg(lockPath);
        return Claim::Failed;
    }
    if (::flock(opened, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(opened);
        if (error == EWOULDBLOCK)
            return Claim::HeldElsewhere;
        lastFailure = tr("The lock file \"%1\" cannot be locked: %2.").arg(lockPath, systemError(error));
        return Claim::Failed;
    }
    fd = opened;
    // The process id is for people looking; the lock itself is the system's.
    const QByteArray pid = QByteArray::number(::getpid()) + '\n';
    if (::ftruncate(fd, 0) == 0 && ::write(fd, pid.constData(), size_t(pid.size())) < 0)
        qWarning().noquote()
            << tr("The lock file \"%1\" is held, but the process id could not be written.").arg(lockPath);
    return Claim::Ours;
}

QString LockFileGuard::failure() const
{
    return lastFailure;
}
