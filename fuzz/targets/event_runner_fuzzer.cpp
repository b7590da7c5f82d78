// SPDX-License-Identifier: MIT
// The runner's preparation of an entry up to the launcher: a due entry of a one-line schedule
// handed to an EventRunner on fakes. The launcher, the clipboard and the sounds
// get only the entry's own texts as documented, and a note shown always lies inside the
// program folder.
//
// Input: byte 0 - bit 0 the entry's note file is made, bit 1 the chime is on; bytes 1-2 the
// day; bytes 3-4 the entry's time; the rest up to the first line end is the entry after its
// time field.

#include "actions/EventRunner.h"
#include "actions/NoteView.h"
#include "engine/ScheduleStore.h"
#include "engine/Scheduler.h"
#include "fuzz/support/Expected.h"
#include "fuzz/support/FuzzSupport.h"
#include "platform/Chime.h"
#include "platform/ProgramPaths.h"
#include "schedule/EventLine.h"
#include "tests/support/Fakes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QByteArray noteBytes = "a note\r\nits second line";
const QString noteText = QStringLiteral("a note\nits second line");

class FakeNoteView : public NoteView
{
public:
    void showNote(const QString& text, const QString& path, const QString& timeText, const QString&) override
    {
        shown.append(QStringList{text, path, timeText});
    }
    QList<QStringList> shown;
};

// Whether path names a file directly inside folder, both as they are on disk.
bool liesInside(const QString& path, const QString& folder)
{
    const QFileInfo info(path);
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    return info.exists() && !canonicalFolder.isEmpty() &&
           QFileInfo(info.canonicalFilePath()).absolutePath() == canonicalFolder &&
           info.canonicalFilePath() != canonicalFolder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const uint8_t flags = in.byte();
    const bool makeNote = flags & 1;
    const bool chime = flags & 2;
    const QDate day = dayFrom(in.word());
    const uint8_t hour = in.byte();
    const QTime due = timeFrom(hour, in.byte());
    QByteArray entry = in.rest();
    for (qsizetype i = 0; i < entry.size(); ++i) {
        if (entry[i] == '\r' || entry[i] == '\n') {
            entry.truncate(i);
            break;
        }
    }

    QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid(), QStringLiteral("no temporary folder"));
    const ProgramPaths paths{dir.path() + QStringLiteral("/Tools/nudgeon"), dir.path() + QStringLiteral("/")};
    {
        QFile f(paths.pgmDir + QStringLiteral("Nudgeon.cfg"));
        const QByteArray file = due.toString(QStringLiteral("HH:mm")).toLatin1() + ',' + entry + "\r\n";
        FUZZ_CHECK(f.open(QIODevice::WriteOnly) && f.write(file) == file.size(),
                   QStringLiteral("cannot write"));
    }

    FakePlatform fakes(paths.programPath);
    fakes.clock.set(day, due.addSecs(20));
    fakes.store.values[Settings::uninstallKey + QStringLiteral("|Settings")] =
        chime ? QStringLiteral("1,0") : QStringLiteral("0,0");
    ScheduleStore store(paths.pgmDir, fakes.settings, fakes.errors);
    Scheduler form(fakes.platform(), store);
    form.start();
    const QList<Entry> entries = form.entries();
    FUZZ_CHECK(entries.size() == 1, QStringLiteral("entry %1 did not load: %2 entries")
                                        .arg(shown(QString::fromLatin1(entry)))
                                        .arg(entries.size()));

    // The entry as documented: its fields, its note and its parameters as they should reach
    // the launcher.
    const QString line = expectedCut(entries.at(0).line());
    const ExpectedFields fields = expectedFields(line);
    const ExpectedNote note = expectedNote(fields.parameters, MaxLineLength);
    const QString program = fields.program;
    const QString upper = program.toUpper();
    const bool mail = upper == QLatin1String("DARIZIZ.EXE");
    const bool dialer = upper == QLatin1String("DIALER.EXE");
    const bool sound = upper.contains(QLatin1String(".WAV"));
    const QString parameters = expectedDateFilled(note.parameters, day);
    const QString name = note.name;
    if (makeNote && !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")) {
        QFile f(paths.pgmDir + name);
        if (f.open(QIODevice::WriteOnly))
            f.write(noteBytes);
    }
    const bool noteThere = !name.isEmpty() && QFileInfo(paths.pgmDir + name).isFile();

    FakeNoteView notes;
    Chime announce(fakes.sound, fakes.clock, fakes.settings);
    EventRunner runner(EventRunner::Services{fakes.launcher, fakes.clipboard, fakes.sound, fakes.clock,
                                             fakes.errors, announce, paths.pgmDir},
                       notes);
    fakes.sound.played.clear();
    runner.run(DueEntry{entries.at(0), fakes.clock.now(), false});

    const QString about =
        QStringLiteral("line %1 on %2: launches %3, clipboard %4, sounds %5, note %6, shown %7, errors %8")
            .arg(shown(line), day.toString(Qt::ISODate),
                 shown(fakes.launcher.launches.join(QStringLiteral(" / "))),
                 shown(fakes.clipboard.texts.join(QStringLiteral(" / "))), fakes.sound.played.join('|'),
                 shown(notes.shown.isEmpty() ? QString() : notes.shown.first().at(1)),
                 QString::number(notes.shown.size()), fakes.errors.messages.join('|'));

    // A note to show lies inside the program folder, whatever the entry says.
    FUZZ_CHECK(notes.shown.size() <= 1, about);
    const QString answer = notes.shown.isEmpty() ? QString() : notes.shown.first().at(1);
    if (!answer.isEmpty())
        FUZZ_CHECK(liesInside(answer, paths.pgmDir),
                   about + QStringLiteral(" - the note is not inside ") + paths.pgmDir);
    for (const QStringList& n : notes.shown)
        FUZZ_CHECK(liesInside(n.at(1), paths.pgmDir) && n.at(0) == noteText, about);

    // The launcher gets the entry's own texts only.
    QStringList launches;
    if (!program.isEmpty() && !sound && !mail) {
        const qsizetype slash = program.lastIndexOf(QLatin1Char('/'));
        const QString folder = slash < 0 ? paths.pgmDir : program.left(slash + 1);
        launches.append(QStringList{program.mid(slash + 1), parameters, folder}.join(QLatin1Char('|')));
    }
    // The mail program is started by its own name, whatever case the entry has.
    if (mail && noteThere)
        launches.append(
            QStringList{QStringLiteral("DARIZIZ.EXE"), parameters + QLatin1Char(',') + name, paths.pgmDir}
                .join(QLatin1Char('|')));
    FUZZ_CHECK(fakes.launcher.launches == launches,
               about + QStringLiteral(" - documented ") + shown(launches.join(QStringLiteral(" / "))));

    FUZZ_CHECK(fakes.clipboard.texts == (dialer ? QStringList{parameters} : QStringList{}), about);

    const QString expectedAnswer = noteThere && !mail ? paths.pgmDir + name : QString();
    FUZZ_CHECK(answer == expectedAnswer,
               about + QStringLiteral(" - documented note ") + shown(expectedAnswer));

    QStringList sounds;
    if (!program.isEmpty() && sound)
        sounds.append(program);
    else if (!program.isEmpty() && !mail) {
        sounds.append(QStringLiteral("beep"));
        if (chime)
            sounds.append(QStringLiteral("Nudgeon.wav"));
    }
    if (!expectedAnswer.isEmpty())
        sounds.append(QStringLiteral("beep"));
    FUZZ_CHECK(fakes.sound.played == sounds,
               about + QStringLiteral(" - documented sounds ") + sounds.join('|'));
    FUZZ_CHECK(notes.shown.size() == (expectedAnswer.isEmpty() ? 0 : 1), about);
    FUZZ_CHECK(fakes.errors.messages.isEmpty(), about);

    return 0;
}
