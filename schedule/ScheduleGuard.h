// SPDX-License-Identifier: MIT
#pragma once
// Tells a change made to the schedule file by someone else from the program's own reads and writes.

#include <QByteArray>
#include <QString>
#include <optional>

// What the program last read from or wrote to the schedule file. The file counts as changed
// when it is no longer that file with that content: edited, replaced by another file (an editor
// that saves by renaming a new file over the old one), deleted, made anew or turned into
// something that is not a file. A link is followed: what counts is the file it names.
class ScheduleGuard
{
public:
    explicit ScheduleGuard(const QString& path);

    // Takes the file as it is now as the one read. Called before reading it, so that a change
    // made while it is read is still a change.
    void reading();
    // Takes these bytes, just written to the file, as what it holds.
    void wrote(const QByteArray& bytes);
    // Whether the file differs from what was last read or written.
    bool changed();

    const QString& path() const { return filePath; }

private:
    struct Stamp
    {
        enum Kind
        {
            Unknown,
            Missing,
            File,
            Other
        };
        Kind kind = Unknown;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modified = 0; // nanoseconds
        qint64 statusChanged = 0;
        bool operator==(const Stamp& o) const
        {
            return kind != Unknown && kind == o.kind && device == o.device && inode == o.inode &&
                   size == o.size && modified == o.modified && statusChanged == o.statusChanged;
        }
    };
    static Stamp stampOf(const QString& path);
    static std::optional<QByteArray> digestOf(const QString& path);

    QString filePath;
    Stamp known;
    // The digest of the content last read or written; nothing when it could not be read.
    std::optional<QByteArray> knownDigest;
};
