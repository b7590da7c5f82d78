// SPDX-License-Identifier: MIT
#include "engine/HistoryLog.h"

#include "platform/UserFile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

HistoryLog::HistoryLog(const QString& path, qint64 cap) : filePath(path), cap(cap) {}

QString HistoryLog::defaultPath()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(state + QStringLiteral("/Nudgeon/history.log"));
}

QString HistoryLog::rotatedPath() const
{
    return filePath + QStringLiteral(".1");
}

int HistoryLog::openForAppend()
{
    if (!UserFile::makeFolder(QFileInfo(filePath).path()))
        return -1;
    const int fd =
        ::open(QFile::encodeName(filePath).constData(),
               O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    if ((st.st_mode & 077) != 0)
        ::fchmod(fd, 0600);
    return fd;
}

bool HistoryLog::append(const Firing& firing)
{
    const QByteArray bytes = firing.toLine().toUtf8() + '\n';
    struct stat st;
    if (::lstat(QFile::encodeName(filePath).constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
        st.st_size + bytes.size() > cap)
        ::rename(QFile::encodeName(filePath).constData(), QFile::encodeName(rotatedPath()).constData());

    const int fd = openForAppend();
    bool written = false;
    if (fd >= 0) {
        // One write of a whole line: O_APPEND keeps lines of two writers apart.
        written = ::write(fd, bytes.constData(), bytes.size()) == bytes.size();
        ::close(fd);
    }
    if (!written && !warned) {
        warned = true;
        qWarning().noquote() << QStringLiteral("The history \"%1\" cannot be written: %2")
                                    .arg(filePath, QString::fromLocal8Bit(std::strerror(errno)));
    }
    return written;
}

QList<Firing> HistoryLog::recent(int count) const
{
    QList<Firing> firings;
    for (const QString& path : {filePath, rotatedPath()}) {
        const QList<QByteArray> lines = UserFile::readAll(path, 2 * cap).bytes.split('\n');
        for (auto it = lines.rbegin(); it != lines.rend() && firings.size() < count; ++it) {
            if (const auto firing = Firing::fromLine(QString::fromUtf8(*it)))
                firings.append(*firing);
        }
    }
    return firings;
}
