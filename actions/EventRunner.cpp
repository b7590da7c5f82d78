// SPDX-License-Identifier: MIT
#include "actions/EventRunner.h"

#include "actions/NoteView.h"
#include "platform/Chime.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/ErrorBox.h"
#include "platform/ProgramPaths.h"
#include "platform/Sound.h"
#include "schedule/EventLine.h"
#include "schedule/NoteFiles.h"

#include <QFileInfo>

// The note window shows this much of the line: its time.
constexpr int TimeLabelLength = 9;

EventRunner::EventRunner(const Services& services, NoteView& noteView)
    : services(services), noteView(noteView)
{}

RunOutcome EventRunner::run(const DueEntry& due)
{
    const Entry& entry = due.entry;
    const bool mail = entry.kind() == Entry::Kind::Mail;
    const QString notePath = services.noteFolder + entry.noteName();
    const bool hasNote = !entry.noteName().isEmpty() && QFileInfo::exists(notePath);
    RunOutcome outcome;

    if (due.late) {
        // Only the note, captioned with the time it was due.
        if (hasNote && !mail)
            outcome.note =
                showNote(notePath, composeTimeField(due.due.time()).left(TimeLabelLength), entry.line());
        return outcome;
    }

    const QString parameters = fillDatePlaceholder(entry.parameters(), services.clock.now().date());
    if (entry.kind() == Entry::Kind::Dialer)
        services.clipboard.setText(parameters);

    if (entry.kind() == Entry::Kind::Sound) {
        services.sound.play(entry.program());
        outcome.soundPlayed = true;
    } else if (entry.kind() == Entry::Kind::Program || entry.kind() == Entry::Kind::Dialer) {
        services.chime.ring();
        // A program named without its folder starts in the program folder, as it is found there.
        const QString folder = folderPart(entry.program());
        outcome.launch = services.launcher.launch(namePart(entry.program()), parameters,
                                                  folder.isEmpty() ? services.noteFolder : folder);
    }

    if (!hasNote)
        return outcome;
    if (mail) {
        // File names are case-sensitive here: the mail program is started by its own name,
        // whatever case the entry was typed in.
        outcome.launch = services.launcher.launch(
            services.mailProgramPath, parameters + QLatin1Char(',') + entry.noteName(), services.noteFolder);
        return outcome;
    }
    outcome.note = showNote(notePath, entry.line().left(TimeLabelLength), entry.line());
    return outcome;
}

RunOutcome::Note EventRunner::showNote(const QString& path, const QString& timeText, const QString& line)
{
    // A note larger than can be read comes in part: the note window shows it as cut.
    const NoteText note = readNote(path);
    if (!note.read) {
        services.errors.showError(note.problem.isEmpty() ? cannotOpenMessage(path) : note.problem);
        return RunOutcome::Note::Unreadable;
    }
    services.sound.beep();
    noteView.showNote(note.text, path, timeText, line);
    return RunOutcome::Note::Shown;
}
