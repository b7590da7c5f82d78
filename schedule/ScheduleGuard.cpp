// SPDX-License-Identifier: MIT
#include "schedule/ScheduleGuard.h"

#include "platform/UserFile.h"
#include "schedule/ScheduleFile.h"

#include <QCryptographicHash>
#include <QFile>

#include <sys/stat.h>

ScheduleGuard::ScheduleGuard(const QString& path) : filePath(path) {}

ScheduleGuard::Stamp ScheduleGuard::stampOf(const QString& path)
{
    Stamp stamp;
    struct stat st
    {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        stamp.kind = Stamp::Missing;
        return stamp;
    }
    stamp.kind = S_ISREG(st.st_mode) ? Stamp::File : Stamp::Other;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.statusChanged = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}

std::optional<QByteArray> ScheduleGuard::digestOf(const QString& path)
{
    UserFile file(path, ScheduleReader::MaxScheduleBytes);
    if (!file.isOpen())
        return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray chunk(65536, Qt::Uninitialized);
    qint64 got;
    while ((got = file.read(chunk.data(), chunk.size())) > 0)
        hash.addData(QByteArrayView(chunk.constData(), got));
    if (got < 0)
        return std::nullopt;
    return hash.result();
}

void ScheduleGuard::reading()
{
    known = stampOf(filePath);
    knownDigest = known.kind == Stamp::File ? digestOf(filePath) : std::nullopt;
}

void ScheduleGuard::wrote(const QByteArray& bytes)
{
    // The file is looked at again at the next question: a change made right after the write
    // shows in its content.
    known = Stamp{};
    knownDigest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

bool ScheduleGuard::changed()
{
    const Stamp now = stampOf(filePath);
    if (now == known)
        return false;
    // The same content under a new stamp (a save without changes, the program's own write) is
    // no change.
    if (now.kind == Stamp::File && knownDigest && digestOf(filePath) == knownDigest) {
        known = now;
        return false;
    }
    return true;
}
