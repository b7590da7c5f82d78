// SPDX-License-Identifier: MIT
#include "HistoryLog.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Makes the folder and its missing parents, each private.
bool makePrivateFolders(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    const QString parent = QFileInfo(folder).path();
    if (parent != folder && !makePrivateFolders(parent))
        return false;
    return ::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || errno == EEXIST;
}

// The bytes of a regular file, up to cap; nothing for anything else. Never blocks on a FIFO.
QByteArray readRegularFile(const QString& path, qint64 cap)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {};
    QByteArray bytes;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        const qint64 size = qMin<qint64>(st.st_size, cap);
        // The newest lines are at the end: a file grown past the cap by hand is read from there.
        if (::lseek(fd, st.st_size - size, SEEK_SET) >= 0) {
            bytes.resize(size);
            qint64 done = 0;
            while (done < size) {
                const ssize_t n = ::read(fd, bytes.data() + done, size - done);
                if (n <= 0)
                    break;
                done += n;
            }
            bytes.truncate(done);
        }
    }
    ::close(fd);
    return bytes;
}

} // namespace

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
    if (!makePrivateFolders(QFileInfo(filePath).path()))
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
        const QList<QByteArray> lines = readRegularFile(path, 2 * cap).split('\n');
        for (auto it = lines.rbegin(); it != lines.rend() && firings.size() < count; ++it) {
            if (const auto firing = Firing::fromLine(QString::fromUtf8(*it)))
                firings.append(*firing);
        }
    }
    return firings;
}
