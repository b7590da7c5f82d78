// SPDX-License-Identifier: MIT
#pragma once
// The tray tip's text: the time left to the entry due next, or that none is due today, and
// the entries missed while the computer slept.

#include <QCoreApplication>
#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

class StatusTip
{
    Q_DECLARE_TR_FUNCTIONS(StatusTip)

public:
    // minutesLeft: whole minutes of real time to the next entry of the day, nothing when none
    // is due today.
    static QString text(const QDate& day, std::optional<qint64> minutesLeft, int missed);
    // The same for a menu, where the tip does not show (GNOME's AppIndicator): the entry's time
    // and the time left, "Next: 10:30 PM, 2hrs 25min".
    static QString nextText(const QDate& day, const QTime& at, std::optional<qint64> minutesLeft);

    // A tip holds at most this many characters.
    static constexpr int MaxLength = 63;

private:
    static QString timeLeft(qint64 minutes);
};
