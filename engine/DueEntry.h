// SPDX-License-Identifier: MIT
#pragma once
// An entry that fell due, handed to whatever carries it out.

#include "schedule/Entry.h"

#include <QDateTime>

struct DueEntry
{
    Entry entry;
    // The instant it fell due: one of its occurrences, or the time a snooze asked for.
    QDateTime due;
    // Shown late after the computer slept: only its note, captioned with its due time.
    bool late = false;
};
