// SPDX-License-Identifier: MIT
#include "schedule/RepeatRule.h"

char weekdayDigit(int dayOfWeek)
{
    return static_cast<char>('0' + dayOfWeek % 7 + 1);
}

RepeatRule::RepeatRule(const QString& field)
{
    bool isNumber = false;
    const int n = field.toInt(&isNumber);
    if (!isNumber) {
        ruleKind = Kind::Weekdays;
        wellFormed = field.startsWith(QLatin1Char('/'));
        for (int digit = 1; digit <= 7; ++digit) {
            if (field.contains(QLatin1Char(static_cast<char>('0' + digit))))
                weekdays |= 1 << digit;
        }
    } else if (n < 0) {
        ruleKind = Kind::DayOfMonth;
        number = -static_cast<qint64>(n);
    } else {
        // No interval is longer than a day.
        number = qMin(n, 1440);
    }
}

int RepeatRule::intervalOn(const QDate& day) const
{
    switch (ruleKind) {
    case Kind::Weekdays:
        return hasWeekday(day.dayOfWeek()) ? 0 : -1;
    case Kind::DayOfMonth:
        return day.day() == number ? 0 : -1;
    case Kind::Interval:
        break;
    }
    return static_cast<int>(number);
}
