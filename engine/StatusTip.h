// SPDX-License-Identifier: MIT
#pragma once
// The tray tip's text: the time left to the entry due next, or that none is due today, and
// the entries missed while the computer slept.

#include <QCoreApplication>
#include <QDate>
#include <QString>
#include <optional>

class StatusTip
{
    Q_DECLARE_TR_FUNCTIONS(StatusTip)

public:
    // minutesLeft: whole minutes of real time to the next entry of the day, nothing when none
    // is due today.
    static QString text(const QDate& day, std::optional<qint64> minutesLeft, int missed);

    // A tip holds at most this many characters.
    static constexpr int MaxLength = 63;
};
