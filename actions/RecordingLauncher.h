// SPDX-License-Identifier: MIT
#pragma once
// Stands between the runner and the launcher, and turns what each launch for the entry being
// run became into firings: started, could not start and why, how the program ended, and for
// the mail program whether the mail went or waits in the outbox.

#include "engine/DueEntry.h"
#include "engine/Firing.h"
#include "platform/Launcher.h"

class Clock;

class RecordingLauncher : public Launcher
{
public:
    using Recorder = std::function<void(const Firing&)>;

    // mailProgram: the path the runner starts the mail program by.
    RecordingLauncher(Launcher& launcher, Clock& clock, const QString& mailProgram, Recorder record);

    // The entry the launches that follow are for.
    void setEntry(const DueEntry& entry) { current = entry; }

    Result launch(const QString& file, const QString& parameters, const QString& folder) override;
    Attempt start(const QString& file, const QString& parameters, const QString& folder,
                  ExitHandler onExit) override;

    // The mail program's exit statuses.
    static constexpr int MailSentStatus = 0;
    static constexpr int MailKeptStatus = 1;

private:
    Launcher& launcher;
    Clock& clock;
    QString mailProgram;
    Recorder record;
    DueEntry current;
};
