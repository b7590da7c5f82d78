// SPDX-License-Identifier: MIT
#pragma once
// When an entry falls due: its occurrences as instants of the local time zone, worked out from
// its line and a day, touching nothing.

#include "schedule/Entry.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>
#include <optional>

class Recurrence
{
public:
    Recurrence() = default;
    // The rule of an entry. A repeating entry's series starts at its start time on the anchor
    // day and goes on across midnight from there.
    Recurrence(const Entry& entry, const QDate& anchor);
    Recurrence(const QString& line, const QDate& anchor) : Recurrence(Entry(line), anchor) {}

    // False when the time field is not a time: such an entry never falls due.
    bool isValid() const { return start.isValid(); }
    QTime startTime() const { return start; }
    const RepeatRule& repeatRule() const { return rule; }

    // A local day and the offset its clock keeps all day (nothing on a day the clock changes),
    // worked out once for the occurrences of every entry on it.
    struct Day
    {
        QDate date;
        std::optional<int> offset;
        static Day of(const QDate& date) { return Day{date, steadyOffset(date)}; }
        // The day after this one, asking the zone once when this one kept its offset.
        Day next() const;
        // The day's first instant and the next day's, in ms since the epoch.
        qint64 start() const;
        qint64 end() const;
    };

    // The occurrences on a local day, in time order. Each carries the local offset of its moment.
    QList<QDateTime> on(const QDate& day) const { return on(Day::of(day)); }
    QList<QDateTime> on(const Day& day) const;
    // The same as milliseconds since the epoch.
    QList<qint64> instantsOn(const Day& day) const;
    // The first of them at or after an instant (ms since the epoch); nothing when none is.
    // Worked out without a list on a day the clock keeps its offset.
    std::optional<qint64> firstOn(const Day& day, qint64 from) const;

    // The instant a wall-clock time of a day stands for. A time the clock skips (spring
    // forward) is the instant right after the jump; a time the clock shows twice (fall back)
    // is its first showing.
    static QDateTime localInstant(const QDate& day, const QTime& time);
    // The offset from UTC, in seconds, that the local clock keeps through the whole day; nothing
    // on a day the clock changes.
    static std::optional<int> steadyOffset(const QDate& day);

private:
    // The first minute of the day at or after fromMinute at which the entry falls due, given
    // the day's interval from intervalOn (not -1); nothing when none is.
    std::optional<int> firstMinute(const QDate& day, int interval, qint64 fromMinute) const;

    QTime start;
    QDate anchor;
    RepeatRule rule;
};
