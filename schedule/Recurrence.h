#pragma once
// When an entry falls due: its occurrences as instants of the local time zone, worked out from
// its line and a day, touching nothing.

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>

class Recurrence
{
public:
    Recurrence() = default;
    // The rule of an event line. A repeating entry's series starts at its start time on the
    // anchor day and goes on across midnight from there.
    Recurrence(const QString& line, const QDate& anchor);

    // False when the time field is not a time: such an entry never falls due.
    bool isValid() const { return start.isValid(); }
    QTime startTime() const { return start; }

    // The occurrences on a local day, in time order.
    QList<QDateTime> on(const QDate& day) const;
    // The occurrences after one instant up to and including another, in time order.
    QList<QDateTime> between(const QDateTime& after, const QDateTime& upTo) const;

    // The instant a wall-clock time of a day stands for. A time the clock skips (spring
    // forward) is the instant right after the jump; a time the clock shows twice (fall back)
    // is its first showing.
    static QDateTime localInstant(const QDate& day, const QTime& time);

private:
    QTime start;
    QString repeat;
    QDate anchor;
};
