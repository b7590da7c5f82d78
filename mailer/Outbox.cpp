// SPDX-License-Identifier: MIT
#include "mailer/Outbox.h"

#include "mailer/MailRequest.h"
#include "platform/UserFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Outbox::Outbox(const QString& workDir) : dir(QDir(workDir).filePath(QStringLiteral("outbox"))) {}

QString Outbox::store(const QByteArray& message, QString* error)
{
    if (!UserFile::makeFolder(dir)) {
        *error = QStringLiteral("cannot create the folder %1").arg(dir);
        return {};
    }
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    const QString base =
        QStringLiteral("%1-%2").arg(stamp).arg(QCoreApplication::applicationPid(), 7, 10, QLatin1Char('0'));
    QString name;
    for (int n = 1;; ++n) {
        name = QStringLiteral("%1-%2.eml").arg(base).arg(n, 3, 10, QLatin1Char('0'));
        if (!QFile::exists(QDir(dir).filePath(name)))
            break;
    }
    const QString target = QDir(dir).filePath(name);
    const QString temporary = QDir(dir).filePath(QLatin1Char('.') + name + QStringLiteral(".part"));

    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner)) {
        *error = QStringLiteral("cannot create %1: %2").arg(temporary, file.errorString());
        return {};
    }
    const bool written = file.write(message) == message.size() && file.flush() && ::fsync(file.handle()) == 0;
    const QString why = file.errorString();
    file.close();
    if (!written) {
        QFile::remove(temporary);
        *error = QStringLiteral("cannot write %1: %2").arg(temporary, why);
        return {};
    }
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(temporary);
        *error = QStringLiteral("cannot rename %1 to %2: %3").arg(temporary, target, reason);
        return {};
    }
    return target;
}

QStringList Outbox::waiting() const
{
    QStringList paths;
    const QStringList names = QDir(dir).entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name);
    for (const QString& name : names)
        paths.append(QDir(dir).filePath(name));
    return paths;
}

std::optional<QByteArray> Outbox::read(const QString& path)
{
    UserFile::Contents contents = UserFile::readAll(path, MaxMessageBytes);
    if (!contents.isRead() || contents.cut)
        return std::nullopt;
    return std::move(contents.bytes);
}

bool Outbox::remove(const QString& path)
{
    return QFile::remove(path);
}

MailLog::MailLog(const QString& workDir) : file(QDir(workDir).filePath(QStringLiteral("mail.log"))) {}

bool MailLog::append(const QString& text, const QDateTime& when)
{
    // Made private; never waits on a FIFO or writes into a device in the log's place.
    const int fd = ::open(QFile::encodeName(file).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600);
    struct stat st
    {};
    if (fd < 0)
        return false;
    QFile log;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        !log.open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    // One write of the whole line: copies running at the same time do not mix their lines.
    const int offset = when.offsetFromUtc() / 60;
    const QString stamp = when.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
                          QStringLiteral("%1%2:%3")
                              .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                              .arg(qAbs(offset) / 60, 2, 10, QLatin1Char('0'))
                              .arg(qAbs(offset) % 60, 2, 10, QLatin1Char('0'));
    const QByteArray line = (stamp + QLatin1Char(' ') + printable(text)).toUtf8() + '\n';
    return log.write(line) == line.size() && log.flush();
}
