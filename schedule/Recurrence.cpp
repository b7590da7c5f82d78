// SPDX-License-Identifier: MIT
#include "Recurrence.h"

#include "EventLine.h"

namespace {

// A longer gap is not looked through day by day.
constexpr qint64 MaxDaysBetween = 31;

// 1 January 1970 as a Julian day.
constexpr qint64 unixEpochDay = 2440588;

int offsetAt(qint64 utcSeconds)
{
    return QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::LocalTime).offsetFromUtc();
}

// An instant with the local offset of that moment: compared and copied without asking the
// zone again.
QDateTime instant(qint64 utcSeconds, int offset)
{
    return QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::OffsetFromUTC, offset);
}

} // namespace

Recurrence::Recurrence(const QString& line, const QDate& anchor)
    : Recurrence(splitEventLine(cutText(line)), anchor)
{}

Recurrence::Recurrence(const EventFields& fields, const QDate& anchor) : anchor(anchor)
{
    const std::optional<QTime> t = parseTimeText(fields.time.left(MaxTimeText));
    // Entries fall due on whole minutes.
    if (t)
        start = QTime(t->hour(), t->minute());
    // Read as evaluateRepeat reads the field, once rather than on every day asked about.
    bool isNumber = false;
    const int n = fields.repeat.toInt(&isNumber);
    if (!isNumber) {
        kind = Kind::Weekdays;
        for (int digit = 1; digit <= 7; ++digit) {
            if (fields.repeat.contains(QLatin1Char(static_cast<char>('0' + digit))))
                value |= qint64(1) << digit;
        }
    } else if (n < 0) {
        kind = Kind::DayOfMonth;
        value = -static_cast<qint64>(n);
    } else {
        // No interval is longer than a day.
        value = qMin(n, 1440);
    }
}

int Recurrence::intervalOn(const QDate& day) const
{
    switch (kind) {
    case Kind::Weekdays:
        return value & (qint64(1) << (day.dayOfWeek() % 7 + 1)) ? 0 : -1;
    case Kind::DayOfMonth:
        return day.day() == value ? 0 : -1;
    case Kind::Interval:
        break;
    }
    return static_cast<int>(value);
}

QDateTime Recurrence::localInstant(const QDate& day, const QTime& time)
{
    const qint64 wall = QDateTime(day, time, Qt::UTC).toSecsSinceEpoch();
    // The offsets a day either side: no zone changes its clock twice within two days.
    const int before = offsetAt(wall - 86400);
    const int after = offsetAt(wall + 86400);
    QList<qint64> shown;
    for (const int offset : {before, after}) {
        if (offsetAt(wall - offset) == offset)
            shown.append(wall - offset);
    }
    if (!shown.isEmpty()) {
        const qint64 first = *std::min_element(shown.begin(), shown.end());
        return instant(first, static_cast<int>(wall - first));
    }
    // Skipped: the first second of the new offset lies between the two readings.
    qint64 low = wall - qMax(before, after);
    qint64 high = wall - qMin(before, after);
    while (low + 1 < high) {
        const qint64 mid = low + (high - low) / 2;
        if (offsetAt(mid) == offsetAt(high))
            high = mid;
        else
            low = mid;
    }
    return instant(high, offsetAt(high));
}

std::optional<int> Recurrence::steadyOffset(const QDate& day)
{
    // Looked at from before the day's start to after its end in every zone (offsets of up to 14
    // hours): no zone changes its clock and back again within two days.
    const qint64 dayWall = QDateTime(day, QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    const int offset = offsetAt(dayWall - 50400);
    if (offset == offsetAt(dayWall + 86400 + 50400))
        return offset;
    return std::nullopt;
}

Recurrence::Day Recurrence::Day::next() const
{
    const QDate day = date.addDays(1);
    if (!offset)
        return of(day);
    // This day's offset held until 14 hours into the next: the next keeps it if its end does.
    const qint64 dayWall = QDateTime(day, QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    if (offsetAt(dayWall + 86400 + 50400) == *offset)
        return Day{day, offset};
    return Day{day, std::nullopt};
}

std::optional<qint64> Recurrence::firstOn(const Day& localDay, qint64 from) const
{
    if (!localDay.offset) {
        for (const qint64 at : instantsOn(localDay)) {
            if (at >= from)
                return at;
        }
        return std::nullopt;
    }
    const QDate& day = localDay.date;
    const int interval = isValid() ? intervalOn(day) : -1;
    if (interval < 0)
        return std::nullopt;
    // The day's midnight as an instant, and the first minute of the day at or after from.
    const qint64 midnight = (day.toJulianDay() - unixEpochDay) * 86400000 - *localDay.offset * qint64(1000);
    const qint64 fromMinute = from <= midnight ? 0 : (from - midnight + 59999) / 60000;
    if (fromMinute >= 1440)
        return std::nullopt;
    const int startMinute = start.hour() * 60 + start.minute();
    qint64 minute = startMinute;
    if (interval > 0) {
        // The series in wall-clock minutes counted from the anchor day, as on any other day.
        const qint64 dayStart = day.toJulianDay() * 1440;
        qint64 m = anchor.toJulianDay() * 1440 + startMinute;
        if (m < dayStart + fromMinute)
            m += (dayStart + fromMinute - m + interval - 1) / interval * interval;
        minute = m - dayStart;
    }
    if (minute < fromMinute || minute >= 1440)
        return std::nullopt;
    return midnight + minute * 60000;
}

QList<qint64> Recurrence::instantsOn(const Day& localDay) const
{
    const QDate& day = localDay.date;
    const int interval = isValid() ? intervalOn(day) : -1;
    if (interval < 0)
        return {};
    QList<int> walls; // minutes of the day
    if (interval == 0) {
        walls.append(start.hour() * 60 + start.minute());
    } else {
        // Wall-clock minutes counted from the anchor day, so the series keeps its times on a
        // day the clock changes.
        const qint64 first = anchor.toJulianDay() * 1440 + start.hour() * 60 + start.minute();
        const qint64 dayStart = day.toJulianDay() * 1440;
        qint64 m = first;
        if (m < dayStart)
            m += (dayStart - m + interval - 1) / interval * interval;
        for (; m < dayStart + 1440; m += interval)
            walls.append(static_cast<int>(m - dayStart));
    }
    // Most days keep one offset from start to end: every wall time is that offset away.
    const qint64 dayWall = QDateTime(day, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    QList<qint64> instants;
    instants.reserve(walls.size());
    for (const int wall : walls) {
        const qint64 at = localDay.offset
                              ? dayWall + (wall * 60 - *localDay.offset) * qint64(1000)
                              : localInstant(day, QTime(wall / 60, wall % 60)).toMSecsSinceEpoch();
        // Times the clock skips all become the instant after the jump: that runs once.
        if (instants.isEmpty() || instants.last() < at)
            instants.append(at);
    }
    return instants;
}

QList<QDateTime> Recurrence::on(const Day& day) const
{
    QList<QDateTime> out;
    for (const qint64 at : instantsOn(day)) {
        const int offset = day.offset ? *day.offset : offsetAt(at / 1000);
        out.append(instant(at / 1000, offset));
    }
    return out;
}

QList<QDateTime> Recurrence::between(const QDateTime& after, const QDateTime& upTo) const
{
    QList<QDateTime> found;
    if (!isValid() || upTo <= after)
        return found;
    const QDate last = upTo.toLocalTime().date().addDays(1);
    QDate day = after.toLocalTime().date().addDays(-1);
    if (day.daysTo(last) > MaxDaysBetween)
        day = last.addDays(-MaxDaysBetween);
    for (; day <= last; day = day.addDays(1)) {
        for (const QDateTime& at : on(Day::of(day))) {
            if (at > after && at <= upTo && (found.isEmpty() || found.last() < at))
                found.append(at);
        }
    }
    return found;
}
