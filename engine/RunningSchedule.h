// SPDX-License-Identifier: MIT
#pragma once

#include "engine/CommandLine.h"

#include <functional>

class Clock;
class Scheduler;

// The running copy's schedule, as the command line's requests reach it: they read the engine's
// entries and change them as the setup dialog does, so that what ran, the snoozes and an open
// dialog's list stay in step.
class RunningSchedule : public CommandLine::Schedule
{
public:
    // Puts off the shown note of a file name; the reason when none such is shown.
    using Snoozer = std::function<std::optional<QString>(const QString& noteFile, int minutes)>;

    // programFolder: the folder of the schedule and its notes, with a trailing "/".
    RunningSchedule(Scheduler& engine, const Clock& engineClock, const QString& programFolder,
                    Snoozer snoozeNote);

    QStringList lines() override;
    QString pgmDir() const override;
    QDateTime now() const override;
    QDate anchor(const QString& line) const override;
    std::optional<QString> write(const QStringList& lines) override;
    std::optional<CommandLine::Next> next() override;
    std::optional<QString> snooze(const QString& noteFile, int minutes) override;

private:
    Scheduler& scheduler;
    const Clock& clock;
    QString folder;
    Snoozer snoozer;
};
