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

// Notes larger than this are shown in part and are never edited, saved or mailed.
constexpr qint64 MaxNoteBytes = 64 * 1024;

struct NoteText
{
    // Its lines joined by "\n"; at most the first MaxNoteBytes of the file.
    QString text;
    bool read = false;
    // The file holds more than the text.
    bool cut = false;
    // Why it could not be read, in words naming the file and what it is.
    QString problem;
};
NoteText readNote(const QString& path);

// The whole text of a note. Nothing when the file cannot be read or is larger than
// MaxNoteBytes; then *problem, when given, says why.
std::optional<QString> readNoteFile(const QString& path, QString* problem = nullptr);

// Writes the note's text with CR LF between lines and no line end after the last. The old
// content is replaced only once the new one is completely written; a new file is private.
bool writeNoteFile(const QString& path, const QString& text, QString* problem = nullptr);

// Deletes a note file; a file that is not there is no error.
void deleteNoteFile(const QString& path);

QString cannotCreateMessage(const QString& path);
QString cannotOpenMessage(const QString& path);
