// SPDX-License-Identifier: MIT
#include "NoteFiles.h"

#include "ScheduleFile.h"
#include "WholeFile.h"

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

std::optional<QString> readNoteFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString text = decodeText(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

bool writeNoteFile(const QString& path, const QString& text)
{
    QString content = text;
    content.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    content.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QByteArray bytes = content.toUtf8();
    return writeWholeFile(path, bytes);
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
