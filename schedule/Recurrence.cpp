// SPDX-License-Identifier: MIT
#include "schedule/Recurrence.h"

namespace {

// 1 January 1970 as a Julian day.
constexpr qint64 unixEpochDay = 2440588;

// A day's midnight on a clock that keeps UTC, in ms since the epoch.
qint64 wallMidnight(const QDate& day)
{
    return (day.toJulianDay() - unixEpochDay) * 86400000;
}

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

Recurrence::Recurrence(const Entry& entry, const QDate& anchor)
    : start(entry.startTime()), anchor(anchor), rule(entry.repeat())
{}

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
    const qint64 dayWall = wallMidnight(day) / 1000;
    const int offset = offsetAt(dayWall - 50400);
    if (offset == offsetAt(dayWall + 86400 + 50400))
        return offset;
    return std::nullopt;
}

qint64 Recurrence::Day::start() const
{
    return offset ? wallMidnight(date) - *offset * qint64(1000)
                  : localInstant(date, QTime(0, 0)).toMSecsSinceEpoch();
}

qint64 Recurrence::Day::end() const
{
    return offset ? start() + 86400000 : localInstant(date.addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
}

Recurrence::Day Recurrence::Day::next() const
{
    const QDate day = date.addDays(1);
    if (!offset)
        return of(day);
    // This day's offset held until 14 hours into the next: the next keeps it if its end does.
    const qint64 dayWall = wallMidnight(day) / 1000;
    if (offsetAt(dayWall + 86400 + 50400) == *offset)
        return Day{day, offset};
    return Day{day, std::nullopt};
}

std::optional<int> Recurrence::firstMinute(const QDate& day, int interval, qint64 fromMinute) const
{
    const int startMinute = start.hour() * 60 + start.minute();
    qint64 minute = startMinute;
    if (interval > 0) {
        // Wall-clock minutes counted from the anchor day, so the series keeps its times on a
        // day the clock changes.
        const qint64 dayStart = day.toJulianDay() * 1440;
        qint64 m = anchor.toJulianDay() * 1440 + startMinute;
        if (m < dayStart + fromMinute)
            m += (dayStart + fromMinute - m + interval - 1) / interval * interval;
        minute = m - dayStart;
    }
    if (minute < fromMinute || minute >= 1440)
        return std::nullopt;
    return static_cast<int>(minute);
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
    const int interval = isValid() ? rule.intervalOn(localDay.date) : -1;
    if (interval < 0)
        return std::nullopt;
    // The first minute of the day at or after from.
    const qint64 midnight = localDay.start();
    const qint64 fromMinute = from <= midnight ? 0 : (from - midnight + 59999) / 60000;
    const std::optional<int> minute = firstMinute(localDay.date, interval, fromMinute);
    if (!minute)
        return std::nullopt;
    return midnight + *minute * qint64(60000);
}

QList<qint64> Recurrence::instantsOn(const Day& localDay) const
{
    const QDate& day = localDay.date;
    const int interval = isValid() ? rule.intervalOn(day) : -1;
    if (interval < 0)
        return {};
    QList<int> walls; // minutes of the day
    const int step = interval > 0 ? interval : 1440;
    for (int m = firstMinute(day, interval, 0).value_or(1440); m < 1440; m += step)
        walls.append(m);
    // Most days keep one offset from start to end: every wall time is that offset away.
    const qint64 dayWall = wallMidnight(day);
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
