// SPDX-License-Identifier: MIT
#pragma once
// The repeat field of a line, read once: every N minutes from the start time, a day of the
// month, or a set of weekdays.

#include <QDate>
#include <QString>

// The digit a repeat field gives a weekday: Sunday "1" to Saturday "7", from Qt's day of the
// week (Monday 1 to Sunday 7).
char weekdayDigit(int dayOfWeek);

class RepeatRule
{
public:
    enum class Kind
    {
        Interval,
        DayOfMonth,
        Weekdays
    };

    RepeatRule() = default;
    explicit RepeatRule(const QString& field);

    Kind kind() const { return ruleKind; }
    // Minutes between the runs (0: once a day, at most a day), or the day of the month.
    qint64 value() const { return number; }
    // Whether the field names this weekday (Qt's Monday 1 to Sunday 7).
    bool hasWeekday(int dayOfWeek) const { return weekdays & (1 << weekdayBit(dayOfWeek)); }
    // The field as written is a number or a "/" weekday list; anything else reads as a
    // weekday list of the digits it holds.
    bool isWellFormed() const { return wellFormed; }

    // The rule on a day: -1 not due, 0 due once, N > 0 due and again every N minutes.
    int intervalOn(const QDate& day) const;

private:
    static int weekdayBit(int dayOfWeek) { return weekdayDigit(dayOfWeek) - '0'; }

    Kind ruleKind = Kind::Interval;
    qint64 number = 0;
    // Bits 1 (Sunday) to 7 (Saturday).
    int weekdays = 0;
    bool wellFormed = true;
};
