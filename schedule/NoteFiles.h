// SPDX-License-Identifier: MIT
#pragma once
// Note files: each note's text in a file of its own in the program folder.

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

// A free name for a new note: the first three digits of today's month-and-day number (raised
// until the name is free), the start time as "hhmm", and ".txt", e.g. "1260930.txt".
// Nothing when no free name is found.
std::optional<QString> newNoteFileName(const QString& pgmDir, const QDate& today, const QTime& start);

// The text of a note: its lines joined by "\n". Nothing when the file cannot be read.
std::optional<QString> readNoteFile(const QString& path);

// Writes the note's text with CR LF between lines and no line end after the last. The old
// content is replaced only once the new one is completely written.
bool writeNoteFile(const QString& path, const QString& text);

// Deletes a note file; a file that is not there is no error.
void deleteNoteFile(const QString& path);

QString cannotCreateMessage(const QString& path);
QString cannotOpenMessage(const QString& path);
