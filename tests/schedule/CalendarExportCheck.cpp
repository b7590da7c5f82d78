// SPDX-License-Identifier: MIT
// Writes the calendar of a fixed schedule and, beside it, the runs the engine's own rules give
// for the days checked, for check_calendar.py to compare. Usage: calendar_export_check ICS RUNS

#include "schedule/CalendarExport.h"
#include "schedule/Recurrence.h"

#include <QFile>
#include <QMap>
#include <QTextStream>

namespace {

struct Sample
{
    const char* line;
    // The event's title a calendar shows, and its alarm text (empty: no alarm).
    const char* title;
    const char* alarm;
};

// Long enough to fold several times, with folds falling inside characters of four octets.
const char* const longNote = "Müll raus, Tonne → Straße; \\ Kübel "
                             "🗑🗑🗑🗑🗑🗑🗑🗑🗑🗑🗑🗑🗑🗑🗑🗑🗑🗑🗑"
                             "🗑🗑🗑🗑🗑🗑🗑🗑🗑 und "
                             "Glas, Papier, Bio: alles vor sechs Uhr früh";

const Sample schedule[] = {
    {" 02:30 AM    ,tidy.exe,0,--all", "tidy.exe --all", ""},
    {" 01:30 AM    ,,/1246,[w.txt]", "Water the plants", "Water the plants"},
    {" 09:00 AM    ,,15,[q.txt]", "Stand up; stretch, breathe", "Stand up; stretch, breathe"},
    {"10:10 PM,beep.exe,90,", "beep.exe", ""},
    {"11:58 PM,tick.exe,7,", "tick.exe", ""},
    {"08:15 AM,backup.exe,120,a,b;c\\d", "backup.exe a,b;c\\d", ""},
    {"01:05,sync.exe,45,", "sync.exe", ""},
    {"12:00 PM,DARIZIZ.EXE,-31,me@example.org,[m.txt]", "E-mail: Pay the rent", ""},
    {"06:45 PM,rent.exe,-29,", "rent.exe", ""},
    {" 02:15 AM    ,,-30,[r.txt]", longNote, longNote},
    {"07:00 AM,daily.exe,1440,", "daily.exe", ""},
    {"xx:yy,bad.exe,0,", "bad.exe", ""},
    {"03:00 PM,never.exe,/,", "never.exe", ""},
};

// Two stretches of 60 days in all: February into the spring change, and October over the fall
// change and the whole of a 30-day month.
const QDate anchor(2029, 2, 20);
const std::pair<QDate, QDate> windows[] = {{anchor, QDate(2029, 3, 13)},
                                           {QDate(2029, 10, 28), QDate(2029, 12, 4)}};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const QMap<QString, QString> notes = {
        {QStringLiteral("w.txt"), QStringLiteral("Water the plants\nin the hall")},
        {QStringLiteral("q.txt"), QStringLiteral("Stand up; stretch, breathe")},
        {QStringLiteral("m.txt"), QStringLiteral("Pay the rent")},
        {QStringLiteral("r.txt"), QString::fromUtf8(longNote)}};
    QStringList lines;
    for (const Sample& e : schedule)
        lines.append(QString::fromUtf8(e.line));
    const CalendarExport exporter(anchor, QDateTime(QDate(2029, 2, 19), QTime(12, 0), Qt::UTC),
                                  [&](const QString& file) { return notes.value(file).section('\n', 0, 0); });
    QFile ics(QString::fromLocal8Bit(argv[1]));
    QFile runs(QString::fromLocal8Bit(argv[2]));
    if (!ics.open(QIODevice::WriteOnly) || !runs.open(QIODevice::WriteOnly | QIODevice::Text))
        return 1;
    ics.write(exporter.write(lines));
    // The same schedule without its first entry: the others keep their identities.
    QFile shifted(ics.fileName() + QStringLiteral(".shifted"));
    if (!shifted.open(QIODevice::WriteOnly))
        return 1;
    shifted.write(exporter.write(lines.mid(1)));

    // One header per entry, then its runs as seconds since the epoch.
    QTextStream out(&runs);
    for (const auto& [first, last] : windows)
        out << "window\t" << first.toString(Qt::ISODate) << '\t' << last.toString(Qt::ISODate) << '\n';
    for (const Sample& e : schedule) {
        out << "entry\t" << QString::fromUtf8(e.title) << '\t' << QString::fromUtf8(e.alarm) << '\n';
        const Recurrence rule(QString::fromUtf8(e.line), anchor);
        for (const auto& [first, last] : windows) {
            for (QDate day = first; day <= last; day = day.addDays(1)) {
                for (const QDateTime& at : rule.on(day))
                    out << at.toSecsSinceEpoch() << '\n';
            }
        }
    }
    return 0;
}
