// SPDX-License-Identifier: MIT
#include "schedule/Entry.h"

#include "schedule/EventLine.h"

const QString Entry::mailProgram = QStringLiteral("DARIZIZ.EXE");
const QString Entry::dialerProgram = QStringLiteral("DIALER.EXE");

Entry::Entry(const QString& line) : text(line)
{
    const EventFields f = splitEventLine(cutText(line));
    fields = f.hasComma;
    time = f.time;
    // Entries fall due on whole minutes.
    if (const std::optional<QTime> t = parseTimeText(f.time.left(MaxTimeText)))
        start = QTime(t->hour(), t->minute());
    programField = f.program;
    repeatField = f.repeat;
    rule = RepeatRule(f.repeat);
    const NoteReference ref = takeNoteReference(f.parameters, MaxLineLength);
    parameterText = ref.parameters;
    note = ref.noteFile;

    const QString upper = programField.toUpper();
    if (upper == mailProgram)
        entryKind = Kind::Mail;
    else if (upper == dialerProgram)
        entryKind = Kind::Dialer;
    else if (upper.contains(QLatin1String(".WAV")))
        entryKind = Kind::Sound;
    else if (!programField.isEmpty())
        entryKind = Kind::Program;
}
