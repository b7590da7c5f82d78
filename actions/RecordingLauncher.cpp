// SPDX-License-Identifier: MIT
#include "actions/RecordingLauncher.h"

#include "platform/Clock.h"

RecordingLauncher::RecordingLauncher(Launcher& launcher, Clock& clock, const QString& mailProgram,
                                     Recorder record)
    : launcher(launcher), clock(clock), mailProgram(mailProgram), record(std::move(record))
{}

Launcher::Result RecordingLauncher::launch(const QString& file, const QString& parameters,
                                           const QString& folder)
{
    return start(file, parameters, folder, {}).result;
}

Launcher::Attempt RecordingLauncher::start(const QString& file, const QString& parameters,
                                           const QString& folder, ExitHandler onExit)
{
    Firing firing;
    firing.due = current.due;
    firing.ran = clock.now();
    firing.line = current.entry.line();
    const bool mail = file == mailProgram;
    const Attempt attempt =
        launcher.start(file, parameters, folder,
                       [firing, mail, record = record, onExit = std::move(onExit)](const Exit& exit) mutable {
                           firing.status = exit.status;
                           firing.signal = exit.signal;
                           firing.seconds = exit.seconds;
                           firing.errorOutput = exit.errorOutput;
                           firing.outcome = Firing::Outcome::Exited;
                           if (mail && !exit.signal && exit.status == MailSentStatus)
                               firing.outcome = Firing::Outcome::MailSent;
                           else if (mail && !exit.signal && exit.status == MailKeptStatus)
                               firing.outcome = Firing::Outcome::MailKept;
                           record(firing);
                           if (onExit)
                               onExit(exit);
                       });
    if (attempt.result != Result::Started) {
        firing.outcome = Firing::Outcome::NotStarted;
        firing.reason = attempt.reason;
        record(firing);
    } else if (!mail) {
        // A mail's outcome is known only once the mail program ends.
        record(firing);
    }
    return attempt;
}
