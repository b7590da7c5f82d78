#include "EventRunner.h"
#include "EngineTest.h"
#include "NoteFiles.h"
#include "NoteView.h"

#include <QDir>
#include <functional>

namespace {

// Records the notes shown; while "shown" it can run what the test wants, as a user would.
class FakeNoteView : public NoteView
{
public:
    void showAndWait(const QString& text, const QString& path, const QString& timeText) override
    {
        shown.append(QStringList{text, path, timeText}.join(QLatin1Char('|')));
        if (whileShown)
            whileShown();
    }
    QStringList shown;
    std::function<void()> whileShown;
};

class RunnerTest : public EngineTest
{
protected:
    // Starts the engine on the given lines at 10:00 on Sunday 6 December 2026.
    void startWith(const QByteArray& lines, const QString& settings = QStringLiteral("0,0"))
    {
        fakes.clock.set(QDate(2026, 12, 6), QTime(10, 0, 20));
        haveSettings(settings);
        writeCfg(lines);
        start();
        runner =
            std::make_unique<EventRunner>(*form,
                                          EventRunner::Services{fakes.launcher, fakes.clipboard, fakes.sound,
                                                                fakes.clock, fakes.errors, mailProgram},
                                          notes);
        form->setActions(runner.get());
        fakes.sound.played.clear();
    }
    void writeNote(const QString& name, const QString& text)
    {
        ASSERT_TRUE(writeNoteFile(dir.filePath(name), text));
    }
    QString pgmDir() const { return dir.path() + "/"; }
    // Runs the entry in the given place.
    void run(int slot)
    {
        state.NextEvent = slot;
        form->RunIt();
    }

    FakeNoteView notes;
    QString mailProgram = EventRunner::mailProgram;
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
    EXPECT_EQ(state.EventNote, "1260930.txt");
}

TEST_F(RunnerTest, WithoutItsNoteFileAnEntryDoesNothing)
{
    startWith(" 10:00 AM    ,,0,[1260930.txt]\r\n10:00 AM    ,dariziz.exe,0,me@example.org[1260931.txt]\r\n");
    run(1);
    run(2);
    EXPECT_TRUE(notes.shown.isEmpty());
    EXPECT_TRUE(fakes.launcher.launches.isEmpty());
    EXPECT_TRUE(fakes.sound.played.isEmpty());
    EXPECT_EQ(state.EventRepeat[1], -1);
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
    EXPECT_EQ(fakes.launcher.launches, QStringList({"dialer.exe|5551234|"}));
}

TEST_F(RunnerTest, AMailedNoteGoesToTheMailProgramInTheProgramFolder)
{
    startWith(" 10:00 AM    ,dariziz.exe,-6,someone[1260830.txt]\r\n");
    writeNote("1260830.txt", "Report due");
    run(1);
    // Started by its own name: file names are case-sensitive here.
    EXPECT_EQ(fakes.launcher.launches, QStringList({"DARIZIZ.EXE|someone,1260830.txt|" + pgmDir() + ""}));
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
    EXPECT_EQ(fakes.launcher.launches.last(), "notepad|MM-DD-YY|");
}

TEST_F(RunnerTest, OddNoteReferencesAreParametersOrNoNote)
{
    startWith(" 10:00 AM    ,app,0,a [b] c\r\n 10:00 AM    ,app,0,x[1] y[3.txt]\r\n");
    writeNote("3.txt", "three");
    run(1);
    EXPECT_EQ(fakes.launcher.launches.last(), "app|a [b] c|");
    run(2);
    // The first "[" starts the reference: the name is no file, so no note shows.
    EXPECT_EQ(fakes.launcher.launches.last(), "app|x|");
    EXPECT_TRUE(notes.shown.isEmpty());
}

TEST_F(RunnerTest, OnceADayEntriesAreDoneAndRepeatingOnesMoveOn)
{
    startWith(" 10:00 AM    ,,0,\r\n 10:00 AM    ,,45,\r\n 10:00 AM    ,,1440,\r\n");
    run(1);
    run(2);
    run(3);
    EXPECT_EQ(state.EventRepeat[1], -1);
    EXPECT_EQ(state.EventTimes[1], 1000);
    EXPECT_EQ(state.EventRepeat[2], 45);
    EXPECT_EQ(state.EventTimes[2], 1045);
    EXPECT_EQ(state.EventTimes[3], 1000);
}

TEST_F(RunnerTest, AnUnreadableNoteIsReportedAndTheEntryStillHandedBack)
{
    startWith(" 10:00 AM    ,,30,[4.txt]\r\n");
    QDir(dir.path()).mkdir("4.txt");
    run(1);
    EXPECT_EQ(fakes.errors.messages, QStringList({"Cannot open file " + pgmDir() + "4.txt"}));
    EXPECT_TRUE(notes.shown.isEmpty());
    EXPECT_EQ(state.EventTimes[1], 1030);
}

TEST_F(RunnerTest, ATickWhileANoteShowsRunsTheOthersButNeverTheShownEntry)
{
    startWith(" 10:00 AM    ,,30,[5.txt]\r\n 10:00 AM    ,app,0,\r\n");
    writeNote("5.txt", "stand up");
    notes.whileShown = [this] {
        fakes.clock.setTime(QTime(10, 0, 40));
        form->DoTime();
        form->DoTime();
    };
    fakes.clock.setTime(QTime(10, 0, 20));
    form->DoTime();
    EXPECT_EQ(notes.shown.size(), 1);
    EXPECT_EQ(fakes.launcher.launches, QStringList({"app||"}));
    EXPECT_EQ(state.EventRepeat[2], -1);
    // The shown entry was handed back once, after its note was hidden.
    EXPECT_EQ(state.EventTimes[1], 1030);
}

TEST_F(RunnerTest, ASnoozeDuringTheNoteKeepsItsTimeThroughTheHandBack)
{
    startWith(" 09:00 AM    ,,60,[6.txt]\r\n 09:30 AM    ,,0,[7.txt]\r\n");
    writeNote("6.txt", "hourly");
    writeNote("7.txt", "once");
    fakes.clock.setTime(QTime(9, 0, 10));
    notes.whileShown = [this] {
        fakes.clock.setTime(QTime(9, 2));
        form->Snooze("6.txt", 5);
    };
    run(1);
    EXPECT_EQ(state.EventTimes[1], 907);
    EXPECT_EQ(state.EventRepeat[1], 60);

    // A once-a-day note snoozed while shown is due once more at the snoozed time.
    fakes.clock.setTime(QTime(9, 30, 5));
    notes.whileShown = [this] {
        fakes.clock.setTime(QTime(9, 32));
        form->Snooze("7.txt", 15);
    };
    run(2);
    EXPECT_EQ(state.EventTimes[2], 947);
    EXPECT_EQ(state.EventRepeat[2], 0);
}

struct SnoozeCase
{
    int due;
    QTime at;
    int minutes;
    int newDue;
};

class SnoozeExamples : public RunnerTest, public ::testing::WithParamInterface<SnoozeCase>
{};

TEST_P(SnoozeExamples, NeverMoveAnEntryEarlierAndMakeItDueAgain)
{
    const SnoozeCase& c = GetParam();
    startWith(" 08:00 AM    ,,0,[1.txt]\r\n");
    state.EventTimes[1] = c.due;
    state.EventRepeat[1] = -1; // ran once today
    fakes.clock.setTime(c.at);
    form->Snooze("1.txt", c.minutes);
    EXPECT_EQ(state.EventTimes[1], c.newDue);
    EXPECT_EQ(state.EventRepeat[1], 0);
}

INSTANTIATE_TEST_SUITE_P(Examples, SnoozeExamples,
                         ::testing::Values(SnoozeCase{930, QTime(9, 32), 15, 947},
                                           SnoozeCase{2350, QTime(23, 52), 30, 2350},
                                           SnoozeCase{1410, QTime(14, 10), 1440, 1410},
                                           SnoozeCase{1740, QTime(17, 45), 480, 1740},
                                           SnoozeCase{800, QTime(8, 1), 240, 1201}));

TEST_F(RunnerTest, ASnoozeFindsItsEntryByTheWholeNoteReference)
{
    startWith(" 09:30 AM    ,,0,[1260930.txt]\r\n 09:30 AM    ,,0,[260930.txt]\r\n");
    fakes.clock.setTime(QTime(9, 40));
    form->Snooze("260930.txt", 5);
    EXPECT_EQ(state.EventTimes[1], 930);
    EXPECT_EQ(state.EventTimes[2], 945);
    // A note whose entry is gone changes nothing.
    form->Snooze("999.txt", 5);
    EXPECT_EQ(state.EventTimes[1], 930);
    EXPECT_EQ(state.EventTimes[2], 945);
}
