// SPDX-License-Identifier: MIT
#pragma once
// Reading and writing the schedule file "Nudgeon.cfg": one event line per text line.

#include "platform/UserFile.h"

#include <QString>
#include <QStringList>
#include <optional>

// Reads a text file line by line, up to the first empty line or the end. Each line is cut
// to 255 characters and the rest of a longer line is skipped. Line ends may be CR LF, LF
// or CR. A line that is not valid UTF-8 is read as Latin-1. A file that cannot be read
// has no lines, and only the first MaxScheduleBytes of a file are read.
class ScheduleReader
{
public:
    static constexpr qint64 MaxScheduleBytes = 16 * 1024 * 1024;

    explicit ScheduleReader(const QString& path);
    // The next line, or nothing at the first empty line, the end, or a read error.
    std::optional<QString> next();
    // Gives a line back, to be returned by the next call of next().
    void unread(const QString& line) { pending = line; }
    // Why the file could not be read, or was read only in part, in words for the user; empty
    // when it was read or is missing.
    QString problem() const;

private:
    bool fill();

    UserFile file;
    bool cut = false;
    std::optional<QString> pending;
    QByteArray buffer;
    qsizetype pos = 0;
    bool finished = false;
};

// The lines of a schedule file, at most maxLines of them.
QStringList readScheduleLines(const QString& path, int maxLines);

// The entries of a schedule file as start-up takes them: lines whose time field is a time, at
// most MaxEvents of them. Why the file could not be read goes to *problem when given.
QStringList readScheduleEntries(const QString& path, QString* problem = nullptr);

// The bytes of a schedule file of these lines, each ended by CR LF, empty ones skipped.
QByteArray scheduleBytes(const QStringList& lines);

// Writes the lines, each ended by CR LF, skipping empty ones. The old file is replaced only
// once the new one is completely written; false when it could not be.
bool writeScheduleLines(const QString& path, const QStringList& lines);

// Decodes the bytes of one line of the program's text files: UTF-8 when they are valid
// UTF-8, Latin-1 otherwise. A cut line may end inside a character, which is dropped.
QString decodeText(const QByteArray& bytes, bool cut = false);
