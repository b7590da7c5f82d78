// SPDX-License-Identifier: MIT
#include "actions/EventRunner.h"
#include "actions/NoteView.h"
#include "schedule/NoteFiles.h"
#include "tests/support/EngineTest.h"

#include <QDir>

namespace {

// Records the notes shown as "text|path|time label"; never waits.
class FakeNoteView : public NoteView
{
public:
    void showNote(const QString& text, const QString& path, const QString& timeText, const QString&) override
    {
        shown.append(QStringList{text, path, timeText}.join(QLatin1Char('|')));
    }
    QStringList shown;
};

class RunnerTest : public EngineTest
{
protected:
    // Starts the engine on the given lines at 10:00 on Sunday 6 December 2026.
    void startWith(const QByteArray& lines, const QString& settings = QStringLiteral("0,0"),
                   const QTime& at = QTime(10, 0, 20))
    {
        fakes.clock.set(QDate(2026, 12, 6), at);
        haveSettings(settings);
        writeCfg(lines);
        start();
        runner = std::make_unique<EventRunner>(EventRunner::Services{fakes.launcher, fakes.clipboard,
                                                                     fakes.sound, fakes.clock, fakes.errors,
                                                                     chime, pgmDir(), mailProgram},
                                               notes);
        whenDue = [this](const DueEntry& e) {
            runner->run(e);
        };
        fakes.sound.played.clear();
    }
    void writeNote(const QString& name, const QString& text)
    {
        ASSERT_TRUE(writeNoteFile(dir.filePath(name), text));
    }
    QString pgmDir() const { return dir.path() + "/"; }
    // Runs the entry in the given place.
    RunOutcome run(int slot)
    {
        return runner->run(DueEntry{Entry(lines().at(slot - 1)), fakes.clock.now(), false});
    }
    // Ticks on from now to the given time of the day.
    void tickTo(const QTime& end)
    {
        tickUntil(fakes.clock.now().addSecs(1), QDateTime(fakes.clock.now().date(), end));
    }
    QStringList dueTimes() const
    {
        QStringList times;
        for (const DueEntry& e : ran)
            times.append(e.due.toString("d HH:mm"));
        return times;
    }

    FakeNoteView notes;
    QString mailProgram = Entry::mailProgram;
    std::unique_ptr<EventRunner> runner;
};

} // namespace

TEST_F(RunnerTest, ANoteOnlyEntryShowsItsNoteWithABeep)
{
    startWith(" 10:00 AM    ,,0,[1260930.txt]\r\n");
    writeNote("1260930.txt", "Call Ann\nabout Friday");
    run(1);
    EXPECT_EQ(notes.shown, QStringList({"Call Ann\nabout Friday|" + pgmDir() + "1260930.txt| 10:00 AM"}));
    EXPECT_EQ(fakes.sound.played, QStringList({"beep"}));
    EXPECT_TRUE(fakes.launcher.launches.isEmpty());
}

TEST_F(RunnerTest, WithoutItsNoteFileAnEntryDoesNothing)
{
    startWith(" 10:00 AM    ,,0,[1260930.txt]\r\n10:00 AM    ,dariziz.exe,0,me@example.org[1260931.txt]\r\n");
    run(1);
    run(2);
    EXPECT_TRUE(notes.shown.isEmpty());
    EXPECT_TRUE(fakes.launcher.launches.isEmpty());
    EXPECT_TRUE(fakes.sound.played.isEmpty());
}

TEST_F(RunnerTest, ASoundFilePlaysAndLaunchesNothing)
{
    startWith(" 10:00 AM    ,/home/ann/Sounds/Ring.wav,0,ignored[1.txt]\r\n"
              " 10:00 AM    ,/games/x.wavy.exe,0,\r\n");
    writeNote("1.txt", "ring");
    run(1);
    EXPECT_EQ(fakes.sound.played, QStringList({"/home/ann/Sounds/Ring.wav", "beep"}));
    EXPECT_EQ(notes.shown.size(), 1);
    run(2);
    EXPECT_EQ(fakes.sound.played.last(), "/games/x.wavy.exe");
    EXPECT_TRUE(fakes.launcher.launches.isEmpty());
}

TEST_F(RunnerTest, TheDialerGetsTheNumberOnTheClipboardAndIsStarted)
{
    startWith(" 10:00 AM    ,dialer.exe,0,5551234\r\n", "1,0");
    run(1);
    EXPECT_EQ(fakes.clipboard.texts, QStringList({"5551234"}));
    EXPECT_EQ(fakes.sound.played, QStringList({"beep", "Nudgeon.wav"}));
    EXPECT_EQ(fakes.launcher.launches, QStringList({"dialer.exe|5551234|" + pgmDir()}));
}

TEST_F(RunnerTest, AMailedNoteGoesToTheMailProgramInTheProgramFolder)
{
    startWith(" 10:00 AM    ,dariziz.exe,-6,someone[1260830.txt]\r\n");
    writeNote("1260830.txt", "Report due");
    run(1);
    // Started by its own name: file names are case-sensitive here.
    EXPECT_EQ(fakes.launcher.launches, QStringList({"DARIZIZ.EXE|someone,1260830.txt|" + pgmDir()}));
    EXPECT_TRUE(notes.shown.isEmpty());
    // The mail program gets no chime.
    EXPECT_TRUE(fakes.sound.played.isEmpty());
}

TEST_F(RunnerTest, AnInstalledProgramStartsTheMailProgramFromItsHelperFolderInTheNotesFolder)
{
    mailProgram = "/usr/libexec/nudgeon/DARIZIZ.EXE";
    startWith(" 10:00 AM    ,DARIZIZ.EXE,0,ann@example.org[1260830.txt]\r\n");
    writeNote("1260830.txt", "Report due");
    run(1);
    EXPECT_EQ(fakes.launcher.launches,
              QStringList({"/usr/libexec/nudgeon/DARIZIZ.EXE|ann@example.org,1260830.txt|" + pgmDir()}));
}

TEST_F(RunnerTest, AProgramStartsWithTheDateFilledInAndThenItsNoteShows)
{
    startWith(" 10:00 AM    ,/opt/Tools/backup,0,--to \"My Files\" backup-mm-dd-yy.zip mm-dd-yy[2.txt]\r\n"
              " 10:00 AM    ,notepad,0,MM-DD-YY\r\n");
    writeNote("2.txt", "check the backup");
    run(1);
    EXPECT_EQ(fakes.launcher.launches,
              QStringList({"backup|--to \"My Files\" backup-12-06-26.zip mm-dd-yy|/opt/Tools/"}));
    EXPECT_EQ(fakes.sound.played, QStringList({"beep", "beep"}));
    EXPECT_EQ(notes.shown.size(), 1);
    run(2);
    EXPECT_EQ(fakes.launcher.launches.last(), "notepad|MM-DD-YY|" + pgmDir());
}

TEST_F(RunnerTest, OddNoteReferencesAreParametersOrNoNote)
{
    startWith(" 10:00 AM    ,app,0,a [b] c\r\n 10:00 AM    ,app,0,x[1] y[3.txt]\r\n");
    writeNote("3.txt", "three");
    run(1);
    EXPECT_EQ(fakes.launcher.launches.last(), "app|a [b] c|" + pgmDir());
    run(2);
    // The first "[" starts the reference: the name is no file, so no note shows.
    EXPECT_EQ(fakes.launcher.launches.last(), "app|x|" + pgmDir());
    EXPECT_TRUE(notes.shown.isEmpty());
}

TEST_F(RunnerTest, AHandWrittenNoteNameOfFortyCharactersShowsWhenDue)
{
    const QString name = QString(36, 'n') + ".txt";
    startWith((" 10:01 AM    ,,0,[" + name + "]\r\n").toLatin1());
    writeNote(name, "long name");
    tickTo(QTime(10, 2));
    EXPECT_EQ(notes.shown, QStringList({"long name|" + pgmDir() + name + "| 10:01 AM"}));
}

TEST_F(RunnerTest, TheOutcomeSaysWhatRan)
{
    startWith(" 10:00 AM    ,,0,[1.txt]\r\n 10:00 AM    ,/a/Ring.wav,0,\r\n 10:00 AM    ,gone,0,\r\n"
              " 10:00 AM    ,DARIZIZ.EXE,0,ann@example.org[1.txt]\r\n 10:00 AM    ,,0,[2.txt]\r\n");
    writeNote("1.txt", "x");
    QDir(dir.path()).mkdir("2.txt");
    const struct
    {
        int slot;
        Launcher::Result launcherSays;
        std::optional<Launcher::Result> launch;
        bool sound;
        RunOutcome::Note note;
    } cases[] = {
        {1, Launcher::Result::Started, std::nullopt, false, RunOutcome::Note::Shown},
        {2, Launcher::Result::Started, std::nullopt, true, RunOutcome::Note::None},
        {3, Launcher::Result::NotFound, Launcher::Result::NotFound, false, RunOutcome::Note::None},
        {4, Launcher::Result::NotAllowed, Launcher::Result::NotAllowed, false, RunOutcome::Note::None},
        {5, Launcher::Result::Started, std::nullopt, false, RunOutcome::Note::Unreadable}};
    for (const auto& c : cases) {
        fakes.launcher.result = c.launcherSays;
        const RunOutcome outcome = run(c.slot);
        EXPECT_EQ(outcome.launch, c.launch) << c.slot;
        EXPECT_EQ(outcome.soundPlayed, c.sound) << c.slot;
        EXPECT_EQ(outcome.note, c.note) << c.slot;
    }
}

TEST_F(RunnerTest, OnceADayEntriesRunOnceAndRepeatingOnesMoveOn)
{
    startWith(" 10:00 AM    ,a,0,\r\n 10:00 AM    ,b,45,\r\n 10:00 AM    ,c,1440,\r\n");
    tickTo(QTime(12, 0));
    EXPECT_EQ(fakes.launcher.launches, QStringList({"a||" + pgmDir(), "b||" + pgmDir(), "c||" + pgmDir(),
                                                    "b||" + pgmDir(), "b||" + pgmDir()}));
    EXPECT_EQ(dueTimes(), QStringList({"6 10:00", "6 10:00", "6 10:00", "6 10:45", "6 11:30"}));
}

TEST_F(RunnerTest, AnUnreadableNoteIsReportedAndTheEntryGoesOn)
{
    startWith(" 10:00 AM    ,,30,[4.txt]\r\n");
    QDir(dir.path()).mkdir("4.txt");
    tickTo(QTime(10, 31));
    const QString folder = pgmDir() + "4.txt is a folder, not a file.";
    EXPECT_EQ(fakes.errors.messages, QStringList({folder, folder}));
    EXPECT_TRUE(notes.shown.isEmpty());
    EXPECT_EQ(dueTimes(), QStringList({"6 10:00", "6 10:30"}));
}

TEST_F(RunnerTest, AShownNoteHoldsNothingUpAndItsEntryRunsOnce)
{
    startWith(" 10:00 AM    ,,30,[5.txt]\r\n 10:00 AM    ,app,0,\r\n");
    writeNote("5.txt", "stand up");
    tickTo(QTime(10, 29));
    EXPECT_EQ(notes.shown.size(), 1);
    EXPECT_EQ(fakes.launcher.launches, QStringList({"app||" + pgmDir()}));
    tickTo(QTime(10, 31));
    EXPECT_EQ(notes.shown.size(), 2);
}

TEST_F(RunnerTest, ASnoozedRepeatingNoteComesBackAndItsSeriesGoesOn)
{
    startWith(" 09:00 AM    ,,60,[6.txt]\r\n 09:30 AM    ,,0,[7.txt]\r\n", "0,0", QTime(8, 59, 58));
    writeNote("6.txt", "hourly");
    writeNote("7.txt", "once");
    tickAt(QTime(9, 0, 1));
    fakes.clock.setTime(QTime(9, 2));
    form->snooze(lines()[0], "6.txt", 5);
    tickTo(QTime(9, 31));
    fakes.clock.setTime(QTime(9, 32));
    form->snooze(lines()[1], "7.txt", 15);
    tickTo(QTime(10, 1));
    EXPECT_EQ(dueTimes(), QStringList({"6 09:00", "6 09:07", "6 09:30", "6 09:47", "6 10:00"}));
}

struct SnoozeCase
{
    QTime due;
    QTime at;
    int minutes;
    // The day (6 or 7) and time the note comes back.
    const char* back;
};

class SnoozeExamples : public RunnerTest, public ::testing::WithParamInterface<SnoozeCase>
{};

TEST_P(SnoozeExamples, BringTheNoteBackOnceAndLeaveTheEntrysOwnTime)
{
    const SnoozeCase& c = GetParam();
    startWith((composeTimeField(c.due) + ",,0,[1.txt]\r\n").toLatin1(), "0,0", c.due.addSecs(-2));
    writeNote("1.txt", "x");
    tickAt(c.due.addSecs(1));
    fakes.clock.setTime(c.at);
    form->snooze(lines()[0], "1.txt", c.minutes);
    tickUntil(fakes.clock.now().addSecs(2), QDateTime(QDate(2026, 12, 7), c.due).addSecs(30));
    const QString own = QDate(2026, 12, 7).toString("d ") + c.due.toString("HH:mm");
    QStringList expected{QString::number(6) + c.due.toString(" HH:mm"), QString::fromLatin1(c.back)};
    if (expected.last() != own)
        expected.append(own);
    EXPECT_EQ(dueTimes(), expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, SnoozeExamples,
                         ::testing::Values(SnoozeCase{QTime(9, 30), QTime(9, 32), 15, "6 09:47"},
                                           SnoozeCase{QTime(23, 50), QTime(23, 52), 30, "7 00:22"},
                                           SnoozeCase{QTime(14, 10), QTime(14, 10, 30), 1440, "7 14:10"},
                                           SnoozeCase{QTime(17, 40), QTime(17, 45), 480, "7 01:45"},
                                           SnoozeCase{QTime(8, 0), QTime(8, 1), 240, "6 12:01"}));

TEST_F(RunnerTest, ASnoozeFindsItsEntryByTheWholeNoteReference)
{
    startWith(" 09:30 AM    ,,0,[1260930.txt]\r\n 09:30 AM    ,,0,[260930.txt]\r\n");
    fakes.clock.setTime(QTime(9, 40));
    form->snooze(QString(), "260930.txt", 5);
    EXPECT_FALSE(form->isDueToday(lines()[0]));
    EXPECT_TRUE(form->isDueToday(lines()[1]));
    // A note whose entry is gone changes nothing.
    form->snooze(QString(), "999.txt", 5);
    EXPECT_FALSE(form->isDueToday(lines()[0]));
    EXPECT_FALSE(fakes.store.keyExists(Settings::snoozedKey + "|999.txt"));
}
