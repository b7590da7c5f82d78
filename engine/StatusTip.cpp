// SPDX-License-Identifier: MIT
#include "engine/StatusTip.h"

#include <QLocale>

QString StatusTip::timeLeft(qint64 minutes)
{
    // Real time left, whole minutes of the clock: a day the clock changes has 23 or 25 hours.
    const qint64 hours = minutes / 60;
    QString hoursText;
    if (hours == 1)
        hoursText = tr("1hr");
    else if (hours >= 2)
        hoursText = tr("%1hrs").arg(hours);
    return tr("%1 %2min").arg(hoursText).arg(minutes % 60);
}

QString StatusTip::text(const QDate& day, std::optional<qint64> minutesLeft, int missed)
{
    QString tip;
    if (!minutesLeft)
        tip = tr("No %1 events...").arg(QLocale::system().dayName(day.dayOfWeek(), QLocale::LongFormat));
    else
        tip = *minutesLeft <= 0 ? tr("Running...") : tr("Nudgeon: %1").arg(timeLeft(*minutesLeft));
    if (missed > 0)
        tip += QLatin1String(" (") + tr("%n missed while asleep", nullptr, missed) + QLatin1Char(')');
    return tip;
}

QString StatusTip::nextText(const QDate& day, const QTime& at, std::optional<qint64> minutesLeft)
{
    if (!minutesLeft)
        return text(day, std::nullopt, 0);
    return tr("Next: %1, %2")
        .arg(at.toString(QStringLiteral("h:mm AP")),
             *minutesLeft <= 0 ? tr("now") : timeLeft(*minutesLeft).trimmed());
}
