#include "Recurrence.h"

#include "EventLine.h"

namespace {

// A longer gap is not looked through day by day.
constexpr qint64 MaxDaysBetween = 31;

int offsetAt(qint64 utcSeconds)
{
    return QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::LocalTime).offsetFromUtc();
}

} // namespace

Recurrence::Recurrence(const QString& line, const QDate& anchor)
    : repeat(splitEventLine(cutText(line)).repeat), anchor(anchor)
{
    const std::optional<QTime> t = parseTimeText(splitEventLine(cutText(line)).time.left(MaxTimeText));
    // Entries fall due on whole minutes.
    if (t)
        start = QTime(t->hour(), t->minute());
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
    if (!shown.isEmpty())
        return QDateTime::fromSecsSinceEpoch(*std::min_element(shown.begin(), shown.end()), Qt::LocalTime);
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
    return QDateTime::fromSecsSinceEpoch(high, Qt::LocalTime);
}

QList<QDateTime> Recurrence::on(const QDate& day) const
{
    const int interval = isValid() ? evaluateRepeat(repeat, day) : -1;
    if (interval < 0)
        return {};
    QList<QTime> walls;
    if (interval == 0) {
        walls.append(start);
    } else {
        // Wall-clock minutes counted from the anchor day, so the series keeps its times on a
        // day the clock changes.
        const qint64 first = anchor.toJulianDay() * 1440 + start.msecsSinceStartOfDay() / 60000;
        const qint64 dayStart = day.toJulianDay() * 1440;
        qint64 m = first;
        if (m < dayStart)
            m += (dayStart - m + interval - 1) / interval * interval;
        for (; m < dayStart + 1440; m += interval)
            walls.append(QTime::fromMSecsSinceStartOfDay(static_cast<int>(m - dayStart) * 60000));
    }
    QList<QDateTime> instants;
    for (const QTime& wall : walls) {
        const QDateTime at = localInstant(day, wall);
        // Times the clock skips all become the instant after the jump: that runs once.
        if (instants.isEmpty() || instants.last() < at)
            instants.append(at);
    }
    return instants;
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
        for (const QDateTime& at : on(day)) {
            if (at > after && at <= upTo && (found.isEmpty() || found.last() < at))
                found.append(at);
        }
    }
    return found;
}
