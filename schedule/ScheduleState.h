// SPDX-License-Identifier: MIT
#pragma once
// The schedule in memory: the event lines and the settings.

#include <QString>
#include <QStringList>

#include "EventLine.h"

struct ScheduleState
{
    // The schedule: one event line per entry, at most 30.
    QStringList EventList;
    int EventCount = 0;
    // The note file name of the entry run last; empty when it had none.
    QString EventNote;
    // The start time of the entry made at a first start.
    QString DefaultTime;

    // Hourly chime and start at log-on.
    bool ChimeOn = false;
    bool AutoStartOn = false;

    // The folder of the schedule file and the notes, with a trailing "/".
    QString PgmDir;

    ScheduleState();
    // Back to an empty schedule with both settings off.
    void reset();
    QString cfgFile() const;
};
