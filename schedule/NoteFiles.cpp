// SPDX-License-Identifier: MIT
#include "schedule/NoteFiles.h"

#include "platform/UserFile.h"
#include "schedule/ScheduleFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

std::optional<QString> newNoteFileName(const QString& pgmDir, const QDate& today, const QTime& start)
{
    const QString time = start.toString(QStringLiteral("HHmm"));
    qint64 n = QStringLiteral("%1%2").arg(today.month()).arg(today.day()).toLongLong();
    // Every three-digit prefix is tried long before this many steps.
    for (int tries = 0; tries < 100000; ++tries, ++n) {
        const QString name = QString::number(n).left(3) + time + QStringLiteral(".txt");
        if (!QFileInfo::exists(pgmDir + name))
            return name;
    }
    return std::nullopt;
}

NoteText readNote(const QString& path)
{
    const UserFile::Contents contents = UserFile::readAll(path, MaxNoteBytes);
    NoteText note;
    note.read = contents.isRead();
    note.cut = contents.cut;
    note.problem = contents.problem;
    note.text = decodeText(contents.bytes, contents.cut);
    note.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    note.text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return note;
}

std::optional<QString> readNoteFile(const QString& path, QString* problem)
{
    NoteText note = readNote(path);
    if (problem)
        *problem = note.problem;
    if (!note.read || note.cut)
        return std::nullopt;
    return std::move(note.text);
}

bool writeNoteFile(const QString& path, const QString& text, QString* problem)
{
    QString content = text;
    content.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    content.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return UserFile::write(path, content.toUtf8(), problem);
}

void deleteNoteFile(const QString& path)
{
    QFile::remove(path);
}

QString cannotCreateMessage(const QString& path)
{
    return QCoreApplication::translate("NoteFiles", "Cannot create file %1").arg(path);
}

QString cannotOpenMessage(const QString& path)
{
    return QCoreApplication::translate("NoteFiles", "Cannot open file %1").arg(path);
}
