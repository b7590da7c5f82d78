#pragma once
// The schedule in memory: the event lines and each entry's state for today.

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>

#include "EventLine.h"

struct ScheduleState
{
    // The schedule: one event line per entry, at most 30.
    QStringList EventList;
    int EventCount = 0;
    // Place (1 to 30) of the entry due next.
    int NextEvent = 1;
    // Per place 1 to 30 (index 0 unused): next due time as hours * 100 + minutes, -1 when empty.
    std::array<int, MaxEvents + 1> EventTimes{};
    // Per place 1 to 30: -1 not due (any more) today, 0 due once, N due and again every N minutes.
    std::array<int, MaxEvents + 1> EventRepeat{};

    // The line being examined and its fields as last taken apart by thisEvent().
    QString WorkLine;
    QString EventTime;
    QString EventPgm;
    QString EventParms;
    int EventRep = 0;
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

// Takes WorkLine apart into EventTime, EventPgm and EventParms, leaves the repeat field in
// WorkLine and its state for the given day in EventRep.
void thisEvent(ScheduleState& s, const QDate& today);

// Makes EventList equal to the editor's sorted list, carrying each entry's state along where
// its text is unchanged; new and changed entries are evaluated afresh for the given day.
void updateAlarms(ScheduleState& s, const QStringList& items, const QDate& today);
