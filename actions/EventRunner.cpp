// SPDX-License-Identifier: MIT
#include "EventRunner.h"

#include "Clipboard.h"
#include "Clock.h"
#include "ErrorBox.h"
#include "Launch.h"
#include "NoteFiles.h"
#include "NoteView.h"
#include "ProgramPaths.h"
#include "Scheduler.h"
#include "Sound.h"

#include <QFileInfo>

// The runner keeps this much of a note's file name.
constexpr int MaxNoteName = 20;
// The note window shows this much of the line: its time.
constexpr int TimeLabelLength = 9;

const QString EventRunner::mailProgram = QStringLiteral("DARIZIZ.EXE");
const QString EventRunner::dialerProgram = QStringLiteral("DIALER.EXE");

EventRunner::EventRunner(Scheduler& scheduler, const Services& services, NoteView& noteView)
    : scheduler(scheduler), s(scheduler.state()), services(services), noteView(noteView)
{}

void EventRunner::run(const DueEntry& entry)
{
    const EventFields fields = splitEventLine(cutText(entry.line));
    const QString program = fields.program.toUpper();
    const bool mail = program == mailProgram;
    const NoteReference ref = takeNoteReference(fields.parameters, MaxNoteName);
    s.EventNote = ref.noteFile;
    const bool hasNote = !ref.noteFile.isEmpty() && QFileInfo::exists(s.PgmDir + ref.noteFile);

    if (entry.late) {
        // Only the note, captioned with the time it was due.
        if (hasNote && !mail)
            showNote(s.PgmDir + ref.noteFile, composeTimeField(entry.due.time()).left(TimeLabelLength),
                     entry.line);
        return;
    }

    const QString parameters = fillDatePlaceholder(ref.parameters, services.clock.now().date());
    if (program == dialerProgram)
        services.clipboard.setText(parameters);

    if (!fields.program.isEmpty()) {
        if (program.contains(QLatin1String(".WAV"))) {
            services.sound.play(fields.program);
        } else if (!mail) {
            scheduler.ChimeTime();
            launchFile(services.launcher, namePart(fields.program), parameters, folderPart(fields.program));
        }
    }

    if (!hasNote)
        return;
    if (mail) {
        // File names are case-sensitive here: the mail program is started by its own name,
        // whatever case the entry was typed in.
        launchFile(services.launcher, services.mailProgramPath, parameters + QLatin1Char(',') + ref.noteFile,
                   s.PgmDir);
        return;
    }
    showNote(s.PgmDir + ref.noteFile, entry.line.left(TimeLabelLength), entry.line);
}

void EventRunner::showNote(const QString& path, const QString& timeText, const QString& line)
{
    // A note larger than can be read comes in part: the note window shows it as cut.
    const NoteText note = readNote(path);
    if (!note.read) {
        services.errors.showError(note.problem.isEmpty() ? cannotOpenMessage(path) : note.problem);
        return;
    }
    services.sound.beep();
    noteView.showNote(note.text, path, timeText, line);
}
