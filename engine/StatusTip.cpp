// SPDX-License-Identifier: MIT
#include "engine/StatusTip.h"

#include <QLocale>

QString StatusTip::text(const QDate& day, std::optional<qint64> minutesLeft, int missed)
{
    QString tip;
    if (!minutesLeft) {
        tip = tr("No %1 events...").arg(QLocale::system().dayName(day.dayOfWeek(), QLocale::LongFormat));
    } else {
        // Real time left, whole minutes of the clock: a day the clock changes has 23 or 25 hours.
        const qint64 left = *minutesLeft;
        const qint64 hours = left / 60;
        QString hoursText;
        if (hours == 1)
            hoursText = tr("1hr");
        else if (hours >= 2)
            hoursText = tr("%1hrs").arg(hours);
        tip = left <= 0 ? tr("Running...") : tr("Nudgeon: %1 %2min").arg(hoursText).arg(left % 60);
    }
    if (missed > 0)
        tip += QLatin1String(" (") + tr("%n missed while asleep", nullptr, missed) + QLatin1Char(')');
    return tip;
}
