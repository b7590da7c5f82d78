// SPDX-License-Identifier: MIT
#include "ScheduleState.h"

ScheduleState::ScheduleState()
{
    reset();
}

void ScheduleState::reset()
{
    DefaultTime = QStringLiteral("4:30 PM");
    EventCount = 0;
    ChimeOn = false;
    AutoStartOn = false;
    EventList.clear();
    EventNote.clear();
}

QString ScheduleState::cfgFile() const
{
    return PgmDir + QStringLiteral("Nudgeon.cfg");
}
