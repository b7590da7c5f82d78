// SPDX-License-Identifier: MIT
#include "platform/UserFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Links followed before a path counts as unreadable, as the kernel's own limit.
constexpr int MaxLinks = 40;

UserFile::Kind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return UserFile::Kind::File;
    if (S_ISDIR(mode))
        return UserFile::Kind::Folder;
    if (S_ISFIFO(mode))
        return UserFile::Kind::Fifo;
    if (S_ISSOCK(mode))
        return UserFile::Kind::Socket;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return UserFile::Kind::Device;
    return UserFile::Kind::Unreadable;
}

UserFile::Kind kindOfError(int error)
{
    return error == ENOENT || error == ENOTDIR ? UserFile::Kind::Missing : UserFile::Kind::Unreadable;
}

QString tr(const char* text)
{
    return QCoreApplication::translate("UserFile", text);
}

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

} // namespace

UserFile::UserFile(const QString& path, qint64 cap) : filePath(path), left(cap)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st
    {};
    // Looked at before it is opened: opening a device may do something of its own.
    if (::stat(name.constData(), &st) != 0) {
        found = kindOfError(errno);
        return;
    }
    found = kindOf(st.st_mode);
    if (found != Kind::File)
        return;
    fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        found = kindOfError(errno);
        return;
    }
    // It may have been swapped for something else in between.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        found = S_ISREG(st.st_mode) ? Kind::Unreadable : kindOf(st.st_mode);
        ::close(fd);
        fd = -1;
    }
}

UserFile::~UserFile()
{
    if (fd >= 0)
        ::close(fd);
}

qint64 UserFile::read(char* data, qint64 size)
{
    if (fd < 0)
        return -1;
    const qint64 wanted = qMin(size, left);
    if (wanted <= 0)
        return 0;
    ssize_t n;
    do {
        n = ::read(fd, data, size_t(wanted));
    } while (n < 0 && errno == EINTR);
    if (n > 0)
        left -= n;
    return n;
}

bool UserFile::cut()
{
    if (fd < 0 || left > 0)
        return false;
    char c;
    ssize_t n;
    do {
        n = ::read(fd, &c, 1);
    } while (n < 0 && errno == EINTR);
    return n > 0;
}

QString UserFile::problem() const
{
    return isOpen() ? QString() : describe(filePath, found);
}

UserFile::Kind UserFile::kindAt(const QString& path)
{
    struct stat st
    {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return kindOfError(errno);
    return kindOf(st.st_mode);
}

UserFile::Contents UserFile::readAll(const QString& path, qint64 cap)
{
    Contents contents;
    UserFile file(path, cap);
    contents.kind = file.kind();
    if (!file.isOpen()) {
        contents.problem = file.problem();
        return contents;
    }
    constexpr qint64 chunk = 65536;
    for (;;) {
        const qsizetype had = contents.bytes.size();
        contents.bytes.resize(had + qsizetype(qMin(chunk, qMax<qint64>(cap - had, 1))));
        const qint64 got = file.read(contents.bytes.data() + had, contents.bytes.size() - had);
        contents.bytes.resize(had + qMax<qint64>(got, 0));
        if (got < 0) {
            contents.kind = Kind::Unreadable;
            contents.problem = describe(path, Kind::Unreadable);
            contents.bytes.clear();
            return contents;
        }
        if (got == 0)
            break;
    }
    contents.cut = file.cut();
    if (contents.cut)
        contents.problem = tooLargeMessage(path, cap);
    return contents;
}

bool UserFile::write(const QString& path, const QByteArray& bytes, QString* problem)
{
    if (problem)
        problem->clear();
    const auto refuse = [&](const QString& why) {
        if (problem)
            *problem = why;
        return false;
    };
    // The file a link names is the one replaced; the link stays.
    QString target = path;
    struct stat st
    {};
    bool exists = false;
    for (int links = 0;; ++links) {
        if (::lstat(QFile::encodeName(target).constData(), &st) != 0) {
            if (kindOfError(errno) != Kind::Missing)
                return refuse(describe(path, Kind::Unreadable));
            break;
        }
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            break;
        }
        if (links == MaxLinks)
            return refuse(describe(path, Kind::Unreadable));
        const QString next = QFile::symLinkTarget(target);
        if (next.isEmpty())
            return refuse(describe(path, Kind::Unreadable));
        target = next;
    }
    if (exists && !S_ISREG(st.st_mode))
        return refuse(describe(path, kindOf(st.st_mode)) + QLatin1Char(' ') +
                      tr("Nothing was written to it."));

    const QFileInfo info(target);
    QByteArray temporary = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                             QStringLiteral(".XXXXXX"));
    // Made 0600.
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written =
        writeAll(fd, bytes) && (!exists || ::fchmod(fd, st.st_mode & 07777) == 0) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written ||
        ::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

bool UserFile::makeFolder(const QString& path)
{
    const QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    struct stat st
    {};
    if (::stat(QFile::encodeName(folder).constData(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const QString parent = QFileInfo(folder).path();
    if (parent != folder && !makeFolder(parent))
        return false;
    return ::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || errno == EEXIST;
}

QString UserFile::describe(const QString& path, Kind kind)
{
    switch (kind) {
    case Kind::File:
        return {};
    case Kind::Missing:
        return tr("%1 does not exist.").arg(path);
    case Kind::Folder:
        return tr("%1 is a folder, not a file.").arg(path);
    case Kind::Fifo:
        return tr("%1 is a FIFO (a named pipe), not a file.").arg(path);
    case Kind::Socket:
        return tr("%1 is a socket, not a file.").arg(path);
    case Kind::Device:
        return tr("%1 is a device, not a file.").arg(path);
    case Kind::Unreadable:
        break;
    }
    return tr("%1 cannot be read.").arg(path);
}

QString UserFile::tooLargeMessage(const QString& path, qint64 cap)
{
    return tr("%1 is larger than %2 KB; only its start was read.").arg(path).arg(cap / 1024);
}
