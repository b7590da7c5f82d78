// SPDX-License-Identifier: MIT
#pragma once
// The history of firings: a plain text file the user can read, one line per firing (see
// Firing::toLine), kept private and below a size, with the older lines in one rotated copy.

#include "engine/Firing.h"

#include <QList>
#include <QString>

class HistoryLog
{
public:
    // The size the file grows to before it becomes the rotated copy.
    static constexpr qint64 defaultCap = 256 * 1024;

    explicit HistoryLog(const QString& path = defaultPath(), qint64 cap = defaultCap);

    // $XDG_STATE_HOME/Nudgeon/history.log, or under ~/.local/state.
    static QString defaultPath();
    const QString& path() const { return filePath; }
    // The rotated copy: path with ".1".
    QString rotatedPath() const;

    // Adds the firing's line, first moving a file that would grow past the cap to the rotated
    // copy. False when it could not be written (told once on the program's error output).
    bool append(const Firing& firing);
    // Up to count firings, newest first, from both files; lines that are not firings are skipped.
    QList<Firing> recent(int count) const;

private:
    int openForAppend();

    QString filePath;
    qint64 cap;
    bool warned = false;
};
