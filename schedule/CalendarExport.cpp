// SPDX-License-Identifier: MIT
#include "schedule/CalendarExport.h"

#include "schedule/Entry.h"
#include "schedule/Recurrence.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QMap>
#include <utility>

namespace {

QString numbers(const QList<int>& values)
{
    QStringList texts;
    for (const int v : values)
        texts.append(QString::number(v));
    return texts.join(QLatin1Char(','));
}

// One recurring event: its first occurrence, a wall-clock time kept in a zone without clock
// changes, and its rule.
struct Series
{
    QDateTime start;
    QString rule;
};

// A series every `interval` minutes that keeps its times day after day (the interval divides
// the day): one event per set of hours that share their minutes, as a daily rule expands the
// hours and minutes it lists into every pair of them.
QList<Series> minuteSeries(const QDate& anchor, int startMinute, int interval)
{
    QMap<QList<int>, QList<int>> hoursByMinutes;
    QList<int> minutesOfHour[24];
    for (int m = startMinute % interval; m < 1440; m += interval)
        minutesOfHour[m / 60].append(m % 60);
    for (int hour = 0; hour < 24; ++hour) {
        if (!minutesOfHour[hour].isEmpty())
            hoursByMinutes[minutesOfHour[hour]].append(hour);
    }
    QList<Series> out;
    for (auto it = hoursByMinutes.cbegin(); it != hoursByMinutes.cend(); ++it) {
        // The first run at or after the series' start in one of these hours.
        int first = startMinute;
        while (!it.value().contains(first % 1440 / 60))
            first += interval;
        const QDateTime start(anchor.addDays(first / 1440), QTime(first % 1440 / 60, first % 60), Qt::UTC);
        out.append(
            {start,
             QStringLiteral("FREQ=DAILY;BYHOUR=%1;BYMINUTE=%2").arg(numbers(it.value()), numbers(it.key()))});
    }
    return out;
}

// The events that repeat an entry from the anchor day on; none for an entry never due.
QList<Series> seriesOf(const Recurrence& rule, const QDate& anchor)
{
    if (!rule.isValid())
        return {};
    const QTime at = rule.startTime();
    const RepeatRule& repeat = rule.repeatRule();
    const qint64 value = repeat.value();
    // The first day from the anchor on that a rule holds.
    const auto firstDay = [&](const std::function<bool(const QDate&)>& holds) {
        QDate day = anchor;
        while (!holds(day))
            day = day.addDays(1);
        return QDateTime(day, at, Qt::UTC);
    };
    switch (repeat.kind()) {
    case RepeatRule::Kind::Weekdays: {
        // Sunday first, as the repeat field counts the days; Qt counts Monday 1 to Sunday 7.
        static const char* const names[8] = {"", "MO", "TU", "WE", "TH", "FR", "SA", "SU"};
        QStringList days;
        for (const int day : {7, 1, 2, 3, 4, 5, 6}) {
            if (repeat.hasWeekday(day))
                days.append(QLatin1String(names[day]));
        }
        if (days.isEmpty())
            return {};
        const auto holds = [&](const QDate& d) {
            return repeat.hasWeekday(d.dayOfWeek());
        };
        return {{firstDay(holds), QStringLiteral("FREQ=WEEKLY;BYDAY=") + days.join(QLatin1Char(','))}};
    }
    case RepeatRule::Kind::DayOfMonth:
        // Months without the day are passed over, by the engine and by the rule alike.
        if (value < 1 || value > 31)
            return {};
        return {{firstDay([&](const QDate& d) { return d.day() == value; }),
                 QStringLiteral("FREQ=MONTHLY;BYMONTHDAY=%1").arg(value)}};
    case RepeatRule::Kind::Interval:
        break;
    }
    const int interval = static_cast<int>(value);
    if (interval == 0 || interval >= 1440)
        return {{QDateTime(anchor, at, Qt::UTC), QStringLiteral("FREQ=DAILY")}};
    if (1440 % interval == 0)
        return minuteSeries(anchor, at.hour() * 60 + at.minute(), interval);
    // The times move from day to day: only a rule in minutes counts them on across midnight.
    return {{QDateTime(anchor, at, Qt::UTC), QStringLiteral("FREQ=MINUTELY;INTERVAL=%1").arg(interval)}};
}

QString floating(const QDateTime& local)
{
    return local.toString(QStringLiteral("yyyyMMdd'T'HHmmss"));
}

} // namespace

CalendarExport::CalendarExport(const QDate& anchor, const QDateTime& stamp, NoteFirstLine noteFirstLine)
    : anchor(anchor), stamp(stamp), noteFirstLine(std::move(noteFirstLine))
{}

QString CalendarExport::escapeText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(','))
            out += QLatin1Char('\\') + c;
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n') ? QString()
                                                                              : QStringLiteral("\\n");
        // A text value holds no other control characters.
        else if ((c.unicode() >= 0x20 && c.unicode() != 0x7f) || c == QLatin1Char('\t'))
            out += c;
    }
    return out;
}

QByteArray CalendarExport::foldLine(const QByteArray& line)
{
    QByteArray out;
    qsizetype from = 0;
    // The first line holds 75 octets, each continuation a blank and 74.
    qsizetype room = 75;
    while (line.size() - from > room) {
        qsizetype cut = from + room;
        while (cut > from && (static_cast<unsigned char>(line.at(cut)) & 0xC0) == 0x80)
            --cut;
        out += line.mid(from, cut - from) + "\r\n ";
        from = cut;
        room = 74;
    }
    return out + line.mid(from) + "\r\n";
}

void CalendarExport::writeEntry(QList<QByteArray>& out, const QString& line, int copy) const
{
    const Entry entry(line);
    const QList<Series> series = seriesOf(Recurrence(entry, anchor), anchor);
    const bool mailed = entry.kind() == Entry::Kind::Mail;
    const QString noteFile = entry.noteName();
    const QString note = noteFile.isEmpty() ? QString() : noteFirstLine(noteFile).trimmed();
    QString summary = (entry.program() + QLatin1Char(' ') + entry.parameters()).trimmed();
    if (!noteFile.isEmpty()) {
        const QString text =
            note.isEmpty() ? QCoreApplication::translate("CalendarExport", "Note %1").arg(noteFile) : note;
        summary = mailed ? QCoreApplication::translate("CalendarExport", "E-mail: %1").arg(text) : text;
    }
    // An entry keeps its identity from one export to the next while its line stays as it is,
    // whatever is added or removed around it; copy tells equal lines apart.
    const QByteArray id = QCryptographicHash::hash(QString::number(copy).toUtf8() + ':' + line.toUtf8(),
                                                   QCryptographicHash::Sha1)
                              .toHex()
                              .left(20);
    for (int i = 0; i < series.size(); ++i) {
        QStringList props = {
            QStringLiteral("BEGIN:VEVENT"),
            QStringLiteral("UID:%1-%2@nudgeon").arg(QString::fromLatin1(id)).arg(i),
            QStringLiteral("DTSTAMP:") + stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")),
            QStringLiteral("DTSTART:") + floating(series[i].start),
            QStringLiteral("RRULE:") + series[i].rule,
            QStringLiteral("SUMMARY:") + escapeText(summary),
        };
        if (!noteFile.isEmpty() && !mailed) {
            props << QStringLiteral("BEGIN:VALARM") << QStringLiteral("ACTION:DISPLAY")
                  << QStringLiteral("TRIGGER:PT0S") << QStringLiteral("DESCRIPTION:") + escapeText(summary)
                  << QStringLiteral("END:VALARM");
        }
        props << QStringLiteral("END:VEVENT");
        for (const QString& p : props)
            out.append(foldLine(p.toUtf8()));
    }
}

QByteArray CalendarExport::write(const QStringList& lines) const
{
    QList<QByteArray> out;
    for (const char* head :
         {"BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Nudgeon//Schedule//EN", "CALSCALE:GREGORIAN"})
        out.append(QByteArray(head) + "\r\n");
    for (int i = 0; i < lines.size(); ++i)
        writeEntry(out, lines[i], static_cast<int>(lines.mid(0, i).count(lines[i])));
    out.append("END:VCALENDAR\r\n");
    return out.join();
}
