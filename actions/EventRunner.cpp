#include "EventRunner.h"

#include "Clipboard.h"
#include "Clock.h"
#include "ErrorBox.h"
#include "Launch.h"
#include "NoteFiles.h"
#include "NoteView.h"
#include "ProgramPaths.h"
#include "Sound.h"
#include "Timer.h"

#include <QFileInfo>

// The runner keeps this much of a note's file name.
constexpr int MaxNoteName = 20;

const QString EventRunner::mailProgram = QStringLiteral("DARIZIZ.EXE");
const QString EventRunner::dialerProgram = QStringLiteral("DIALER.EXE");

EventRunner::EventRunner(TTimerForm& timerForm, const Services& services, NoteView& noteView)
    : timerForm(timerForm), s(timerForm.state()), services(services), noteView(noteView)
{}

QString EventRunner::act(int)
{
    s.WorkLine = s.EventParms;
    s.EventNote.clear();
    const QString program = s.EventPgm.toUpper();
    const bool mail = program == mailProgram;

    const NoteReference ref = takeNoteReference(s.EventParms, MaxNoteName);
    s.EventParms = ref.parameters;
    s.EventNote = ref.noteFile;
    s.EventParms = fillDatePlaceholder(s.EventParms, services.clock.now().date());

    if (program == dialerProgram)
        services.clipboard.setText(s.EventParms);

    if (!s.EventPgm.isEmpty()) {
        if (program.contains(QLatin1String(".WAV"))) {
            services.sound.play(s.EventPgm);
        } else if (!mail) {
            timerForm.ChimeTime();
            launchFile(services.launcher, namePart(s.EventPgm), s.EventParms, folderPart(s.EventPgm));
        }
    }

    if (s.EventNote.isEmpty() || !QFileInfo::exists(s.PgmDir + s.EventNote))
        return {};
    if (mail) {
        // File names are case-sensitive here: the mail program is started by its own name,
        // whatever case the entry was typed in.
        launchFile(services.launcher, services.mailProgramPath, s.EventParms + QLatin1Char(',') + s.EventNote,
                   s.PgmDir);
        return {};
    }
    return s.PgmDir + s.EventNote;
}

void EventRunner::showNote(const QString& path, const QString& timeText)
{
    const std::optional<QString> text = readNoteFile(path);
    if (!text) {
        services.errors.showError(cannotOpenMessage(path));
        return;
    }
    services.sound.beep();
    noteView.showAndWait(*text, path, timeText);
}
