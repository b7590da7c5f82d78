// SPDX-License-Identifier: MIT
#pragma once
// The schedule as an iCalendar file, for the user's own calendar program.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Each entry becomes one event (a series of the every-so-many-minutes kind one per set of hours
// that share their minutes) with a rule that repeats it as the engine does, in floating local
// time: "09:00" stays 09:00 in whatever zone the calendar is read. Where the clock skips a time,
// the engine runs at the moment of the jump, while a calendar that follows RFC 5545 shows the
// run as far past the jump as the time lay in the gap (a DTSTART) or drops it (a repeat).
class CalendarExport
{
public:
    // The first line of a note, by the note file's name; empty when there is none to read.
    using NoteFirstLine = std::function<QString(const QString& noteFile)>;

    // Series start on anchor, the day the engine counts them from; stamp is the time of the
    // export.
    CalendarExport(const QDate& anchor, const QDateTime& stamp, NoteFirstLine noteFirstLine);

    // Where entries were taken on at different days, the day each one's series starts on.
    void setAnchorOf(std::function<QDate(const QString& line)> anchorOfLine)
    {
        anchorOf = std::move(anchorOfLine);
    }

    // The calendar of the schedule's lines: folded, CR LF at the end of every line.
    QByteArray write(const QStringList& lines) const;

    // A text value with backslash, semicolon, comma and line ends escaped.
    static QString escapeText(const QString& text);
    // One content line cut into lines of at most 75 octets, never inside a UTF-8 sequence.
    static QByteArray foldLine(const QByteArray& line);

private:
    void writeEntry(QList<QByteArray>& out, const QString& line, int copy) const;

    QDate anchor;
    QDateTime stamp;
    NoteFirstLine noteFirstLine;
    std::function<QDate(const QString& line)> anchorOf;
};
