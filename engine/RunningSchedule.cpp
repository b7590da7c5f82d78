// SPDX-License-Identifier: MIT
#include "RunningSchedule.h"

#include "Clock.h"
#include "Scheduler.h"

RunningSchedule::RunningSchedule(Scheduler& engine, const Clock& engineClock, Snoozer snoozeNote)
    : scheduler(engine), clock(engineClock), snoozer(std::move(snoozeNote))
{}

QStringList RunningSchedule::lines()
{
    // A change made to the file by hand counts before the request does.
    scheduler.reloadIfChanged();
    return scheduler.state().EventList;
}

QString RunningSchedule::pgmDir() const
{
    return scheduler.state().PgmDir;
}

QDateTime RunningSchedule::now() const
{
    return clock.now();
}

QDate RunningSchedule::anchor(const QString& line) const
{
    return scheduler.anchorOf(line);
}

std::optional<QString> RunningSchedule::write(const QStringList& lines)
{
    scheduler.UpdateAlarms(lines);
    if (!scheduler.WriteCfgFile())
        return CommandLine::tr("Nudgeon could not save the schedule; it says why in its window.");
    scheduler.setInterval(2000);
    scheduler.NextTime();
    // An open setup dialog shows the new list.
    emit scheduler.scheduleReloaded();
    return std::nullopt;
}

std::optional<CommandLine::Next> RunningSchedule::next()
{
    const std::optional<DueEntry> due = scheduler.nextDue();
    if (!due)
        return std::nullopt;
    return CommandLine::Next{due->line, due->due, scheduler.status()};
}

std::optional<QString> RunningSchedule::snooze(const QString& noteFile, int minutes)
{
    return snoozer(noteFile, minutes);
}
