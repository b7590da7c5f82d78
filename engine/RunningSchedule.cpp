// SPDX-License-Identifier: MIT
#include "engine/RunningSchedule.h"

#include "engine/Scheduler.h"
#include "platform/Clock.h"

RunningSchedule::RunningSchedule(Scheduler& engine, const Clock& engineClock, const QString& programFolder,
                                 Snoozer snoozeNote)
    : scheduler(engine), clock(engineClock), folder(programFolder), snoozer(std::move(snoozeNote))
{}

QStringList RunningSchedule::lines()
{
    // A change made to the file by hand counts before the request does.
    scheduler.reloadIfChanged();
    QStringList lines;
    for (const Entry& entry : scheduler.entries())
        lines.append(entry.line());
    return lines;
}

QString RunningSchedule::pgmDir() const
{
    return folder;
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
    if (!scheduler.applyEdits(lines))
        return CommandLine::tr("Nudgeon could not save the schedule; it says why in its window.");
    scheduler.refreshStatus();
    // An open setup dialog shows the new list.
    emit scheduler.scheduleReloaded();
    return std::nullopt;
}

std::optional<CommandLine::Next> RunningSchedule::next()
{
    const std::optional<DueEntry> due = scheduler.nextDue();
    if (!due)
        return std::nullopt;
    return CommandLine::Next{due->entry.line(), due->due, scheduler.status()};
}

std::optional<QString> RunningSchedule::snooze(const QString& noteFile, int minutes)
{
    return snoozer(noteFile, minutes);
}
