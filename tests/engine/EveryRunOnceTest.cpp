// SPDX-License-Identifier: MIT
// No reminder lost, none run twice: notes side by side, clock changes, held-up ticks, snoozes,
// edits in the setup dialog and sleeps.

#include "actions/EventRunner.h"
#include "actions/NoteView.h"
#include "schedule/NoteFiles.h"
#include "tests/support/EngineTest.h"
#include "tests/support/PinnedZone.h"

namespace {

// Writes down every note handed to it as "name|time label"; never waits.
class NoteLog : public NoteView
{
public:
    void showNote(const QString&, const QString& path, const QString& timeText, const QString&) override
    {
        shown.append(path.section('/', -1) + '|' + timeText);
    }
    QStringList shown;
};

class EveryRunOnce : public EngineTest
{
protected:
    void startWith(const QByteArray& lines, const QDateTime& at)
    {
        haveSettings("0,0");
        writeCfg(lines);
        fakes.clock.set(at);
        start();
        runner = std::make_unique<EventRunner>(EventRunner::Services{fakes.launcher, fakes.clipboard,
                                                                     fakes.sound, fakes.clock, fakes.errors,
                                                                     chime, paths().pgmDir},
                                               notes);
        whenDue = [this](const DueEntry& e) {
            runner->run(e);
        };
    }
    void writeNote(const QString& name) { ASSERT_TRUE(writeNoteFile(dir.filePath(name), name)); }
    QStringList launched() const
    {
        QStringList files;
        for (const QString& l : fakes.launcher.launches)
            files.append(l.section('|', 0, 0));
        return files;
    }

    NoteLog notes;
    std::unique_ptr<EventRunner> runner;
};

const QDate monday(2026, 12, 7);

} // namespace

TEST_F(EveryRunOnce, TwoNotesAndAProgramOfOneMinuteAllRun)
{
    writeNote("na.txt");
    writeNote("nb.txt");
    startWith(" 10:01 AM    ,PROG,0,NA[na.txt]\r\n 10:01 AM    ,PROG,0,NB[nb.txt]\r\n 10:01 AM    ,PC,0,\r\n",
              QDateTime(monday, QTime(10, 0, 40)));
    tickUntil(QDateTime(monday, QTime(10, 0, 42)), QDateTime(monday, QTime(10, 3)));
    EXPECT_EQ(notes.shown, QStringList({"na.txt| 10:01 AM", "nb.txt| 10:01 AM"}));
    EXPECT_EQ(launched(), QStringList({"PROG", "PROG", "PC"}));
}

TEST_F(EveryRunOnce, TheHourTheClockSkipsRunsOnceRightAfterTheJump)
{
    const PinnedZone zone("America/New_York");
    const QDate sunday(2026, 3, 8);
    startWith(" 02:00 AM    ,A,0,\r\n 02:15 AM    ,B,/1,\r\n 02:30 AM    ,C,0,\r\n 01:50 AM    ,D,5,\r\n",
              QDateTime(sunday, QTime(1, 40)));
    tickUntil(QDateTime(sunday, QTime(1, 40, 2)), QDateTime(sunday, QTime(3, 20)));
    // D every five minutes: 01:50 to 01:55, then 02:00 to 02:55 fall on 03:00, then on.
    EXPECT_EQ(launched(), QStringList({"D", "D", "A", "B", "C", "D", "D", "D", "D"}));
}

TEST_F(EveryRunOnce, TheHourTheClockRepeatsRunsOnce)
{
    const PinnedZone zone("Europe/Berlin");
    const QDate sunday(2026, 10, 25);
    startWith(" 02:30 AM    ,A,0,\r\n 02:00 AM    ,B,20,\r\n", QDateTime(sunday, QTime(1, 58)));
    // Two real hours from 01:58 pass the hour from 02:00 to 03:00 twice.
    tickUntil(QDateTime(sunday, QTime(1, 58, 2)), QDateTime(sunday, QTime(3, 1)));
    EXPECT_EQ(launched(), QStringList({"B", "B", "A", "B", "B"}));
}

TEST_F(EveryRunOnce, TheTipCountsRealTimeOnTheDaysTheClockChanges)
{
    const PinnedZone zone("America/New_York");
    writeCfg(" 03:00 AM    ,A,0,\r\n 02:00 AM    ,B,-1,\r\n");
    haveSettings("0,0");
    fakes.clock.set(QDateTime(QDate(2026, 3, 8), QTime(1, 30)));
    start();
    EXPECT_EQ(form->status(), "Nudgeon:  30min");
    // 01:30 the first time round, an entry at 02:00: the hour is passed twice.
    fakes.clock.set(QDateTime(QDate(2026, 11, 1), QTime(5, 30), Qt::UTC).toLocalTime());
    form->refreshStatus();
    EXPECT_EQ(form->status(), "Nudgeon: 1hr 30min");
}

TEST_F(EveryRunOnce, AHeldUpTickRunsTheMinutesBeforeMidnightToo)
{
    startWith("11:58 PM    ,A,0,\r\n11:59 PM    ,B,0,\r\n 12:01 AM    ,C,0,\r\n",
              QDateTime(monday, QTime(23, 56)));
    tickAt(QDateTime(monday, QTime(23, 56, 2)));
    tickAt(QDateTime(monday.addDays(1), QTime(0, 4, 1)));
    EXPECT_EQ(launched(), QStringList({"A", "B", "C"}));
    tickUntil(QDateTime(monday.addDays(1), QTime(0, 4, 3)), QDateTime(monday.addDays(1), QTime(1, 0)));
    EXPECT_EQ(launched().size(), 3);
}

TEST_F(EveryRunOnce, ASnoozeBringsTheNoteBackOnceAndLeavesLaterDaysAlone)
{
    writeNote("n.txt");
    startWith(" 10:00 AM    ,,0,[n.txt]\r\n11:50 PM    ,,-7,[late.txt]\r\n", QDateTime(monday, QTime(9, 59)));
    writeNote("late.txt");
    whenDue = [this](const DueEntry& e) {
        runner->run(e);
        if (e.entry.line().contains("n.txt]") && !e.entry.line().contains("late") && notes.shown.size() == 1)
            form->snooze(e.entry.line(), "n.txt", 5);
        if (e.entry.line().contains("late.txt") && e.due.time() == QTime(23, 50))
            form->snooze(e.entry.line(), "late.txt", 30); // past midnight, to a day the rule skips
    };
    tickUntil(QDateTime(monday, QTime(9, 59, 2)), QDateTime(monday.addDays(2), QTime(0, 0)));
    EXPECT_EQ(notes.shown, QStringList({"n.txt| 10:00 AM", "n.txt| 10:00 AM", "late.txt|11:50 PM ",
                                        "late.txt|11:50 PM ", "n.txt| 10:00 AM"}));
    QStringList times;
    for (const DueEntry& e : ran)
        times.append(e.due.toString("d HH:mm"));
    EXPECT_EQ(times, QStringList({"7 10:00", "7 10:05", "7 23:50", "8 00:20", "8 10:00"}));
    // Fired snoozes leave nothing behind in the store.
    EXPECT_FALSE(fakes.store.keyExists(Settings::snoozedKey));
}

TEST_F(EveryRunOnce, APendingSnoozeOutlivesARestart)
{
    const PinnedZone zone("America/New_York");
    writeNote("n.txt");
    startWith(" 10:00 AM    ,,0,[n.txt]\r\n", QDateTime(monday, QTime(10, 0, 1)));
    tickAt(QDateTime(monday, QTime(10, 0, 2)));
    form->snooze(lines().first(), "n.txt", 60);
    EXPECT_EQ(fakes.store.values.value(Settings::snoozedKey + "|n.txt"), "2026-12-07T16:00:00Z");
    // Started again at 10:30: the note comes back at 11:00 all the same.
    startWith(" 10:00 AM    ,,0,[n.txt]\r\n", QDateTime(monday, QTime(10, 30)));
    tickUntil(QDateTime(monday, QTime(10, 30, 2)), QDateTime(monday, QTime(11, 2)));
    EXPECT_EQ(notes.shown, QStringList({"n.txt| 10:00 AM", "n.txt| 10:00 AM"}));
    EXPECT_FALSE(fakes.store.keyExists(Settings::snoozedKey));
}

TEST_F(EveryRunOnce, AnEditInTheSetupDialogKeepsEveryOtherEntrysState)
{
    writeNote("c.txt");
    startWith(" 08:00 AM    ,A,0,\r\n 09:00 AM    ,B,0,\r\n 10:00 AM    ,,0,C[c.txt]\r\n",
              QDateTime(monday, QTime(9, 59, 58)));
    tickAt(QDateTime(monday, QTime(10, 0, 1)));
    form->snooze(lines()[2], "c.txt", 15);
    // Row A edited: its line sorts elsewhere, C moves up a place.
    form->replaceEntries({" 09:00 AM    ,B,0,", " 09:30 AM    ,A2,0,", " 10:00 AM    ,,0,C[c.txt]"});
    tickUntil(QDateTime(monday, QTime(10, 0, 3)), QDateTime(monday, QTime(10, 20)));
    EXPECT_EQ(notes.shown, QStringList({"c.txt| 10:00 AM", "c.txt| 10:00 AM"}));
    EXPECT_EQ(ran.last().due.time(), QTime(10, 15));
}

TEST_F(EveryRunOnce, AnEntryAddedAboveOneThatRanDoesNotRunItAgain)
{
    startWith(" 09:00 AM    ,B,0,\r\n 10:00 AM    ,C,0,\r\n", QDateTime(monday, QTime(9, 59, 58)));
    tickAt(QDateTime(monday, QTime(10, 0, 1)));
    fakes.clock.set(QDateTime(monday, QTime(10, 0, 4)));
    form->applyEdits({" 08:00 AM    ,B,0,", " 09:00 AM    ,B,0,", " 10:00 AM    ,C,0,"});
    tickUntil(QDateTime(monday, QTime(10, 0, 6)), QDateTime(monday, QTime(10, 3)));
    EXPECT_EQ(launched(), QStringList({"C"}));
}

TEST_F(EveryRunOnce, ASleepShowsTodaysNotesLateAndTellsOfTheRest)
{
    for (const char* name : {"n.txt", "m.txt", "t.txt"})
        writeNote(name);
    startWith(" 10:05 AM    ,P,0,\r\n 10:10 AM    ,Q,-7,[n.txt]\r\n 10:20 AM    ,R,0,\r\n"
              " 10:25 AM    ,,10,[m.txt]\r\n 11:00 AM    ,S,0,\r\n09:00 PM    ,,-7,[t.txt]\r\n",
              QDateTime(monday, QTime(10, 0)));
    tickAt(QDateTime(monday, QTime(10, 0, 2)));
    // Suspended at 10:00, resumed at 10:50: programs are not run late, each note shows once.
    tickAt(QDateTime(monday, QTime(10, 50, 3)));
    EXPECT_TRUE(launched().isEmpty());
    EXPECT_EQ(notes.shown, QStringList({"m.txt| 10:45 AM", "n.txt| 10:10 AM"}));
    EXPECT_EQ(tray.tip, "Nudgeon:  5min (2 missed while asleep)");
    // Told until the next entry runs; nothing of the gap runs afterwards.
    tickUntil(QDateTime(monday, QTime(10, 50, 5)), QDateTime(monday, QTime(11, 1)));
    EXPECT_EQ(launched(), QStringList({"S"}));
    EXPECT_EQ(notes.shown.size(), 3);
    EXPECT_EQ(tray.tip, "Nudgeon:  5min");

    // A night's sleep: yesterday's note is not shown, today's are.
    notes.shown.clear();
    tickAt(QDateTime(monday.addDays(1), QTime(10, 12)));
    EXPECT_EQ(notes.shown, QStringList({"m.txt| 10:05 AM"}));
    EXPECT_EQ(tray.tip, "Nudgeon:  3min (2 missed while asleep)");
}

TEST_F(EveryRunOnce, AtStartUpOnlyThisMinutesEntriesRun)
{
    startWith(" 09:59 AM    ,E,0,\r\n 10:00 AM    ,N,0,\r\n", QDateTime(monday, QTime(10, 0, 5)));
    tickUntil(QDateTime(monday, QTime(10, 0, 7)), QDateTime(monday, QTime(10, 2)));
    EXPECT_EQ(launched(), QStringList({"N"}));
}

TEST_F(EveryRunOnce, ClockPutBackRunsNothingAgain)
{
    startWith(" 10:05 AM    ,P,0,\r\n 10:00 AM    ,Q,5,\r\n", QDateTime(monday, QTime(10, 0)));
    tickUntil(QDateTime(monday, QTime(10, 0, 2)), QDateTime(monday, QTime(10, 7)));
    fakes.clock.set(QDateTime(monday, QTime(9, 58)));
    tickUntil(QDateTime(monday, QTime(9, 58, 1)), QDateTime(monday, QTime(10, 12)));
    EXPECT_EQ(launched(), QStringList({"Q", "P", "Q", "Q"}));
}

namespace {

struct ZoneChange
{
    const char* zone;
    // The new zone's wall clock the ticks go on to.
    QTime until;
    // What runs after the change: the name and the time of the clock it runs at.
    QStringList runs;
};

class TimeZoneChange : public EveryRunOnce, public ::testing::WithParamInterface<ZoneChange>
{};

} // namespace

TEST_P(TimeZoneChange, IsNeitherAGapNorAJumpAndASnoozeKeepsItsMinutes)
{
    const ZoneChange& c = GetParam();
    const PinnedZone utc("UTC");
    writeNote("n.txt");
    startWith(
        " 09:00 AM    ,A,0,\r\n 09:55 AM    ,,0,[n.txt]\r\n 10:30 AM    ,C,0,\r\n 07:05 PM    ,B,0,\r\n",
        QDateTime(monday, QTime(8, 59)));
    QStringList runs;
    whenDue = [&](const DueEntry& e) {
        runner->run(e);
        const QString name = e.entry.program().isEmpty() ? QStringLiteral("n") : e.entry.program();
        runs.append(name + e.due.toString(" HH:mm") + (e.late ? " late" : ""));
        // Neither early nor late: it runs in its own minute of the clock.
        EXPECT_EQ(e.due.toString("HH:mm"), fakes.clock.now().toString("HH:mm")) << name.toStdString();
        if (name == "n" && notes.shown.size() == 1)
            form->snooze(e.entry.line(), "n.txt", 8);
    };
    tickUntil(QDateTime(monday, QTime(8, 59, 2)), QDateTime(monday, QTime(10, 1, 30)));
    EXPECT_EQ(runs, QStringList({"A 09:00", "n 09:55"}));
    runs.clear();

    // The same instant, a new zone.
    const qint64 instant = fakes.clock.now().toMSecsSinceEpoch();
    std::optional<PinnedZone> moved;
    moved.emplace(c.zone);
    tickAt(QDateTime::fromMSecsSinceEpoch(instant + 2000));
    EXPECT_EQ(tray.tip, "Nudgeon:  2min");
    const QDateTime now = fakes.clock.now();
    tickUntil(now.addMSecs(form->interval()), QDateTime(now.date(), c.until));
    EXPECT_EQ(runs, c.runs);
    EXPECT_FALSE(tray.tip.contains("missed")) << tray.tip.toStdString();
    EXPECT_FALSE(fakes.store.keyExists(Settings::snoozedKey));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TimeZoneChange,
    ::testing::Values(
        // 10:01 UTC is 19:01 in Tokyo: what lies between the two walls is neither run nor missed.
        ZoneChange{"Asia/Tokyo", QTime(20, 0), {"n 19:03", "B 19:05"}},
        // 05:01 in New York: A, run at nine in UTC, does not run again at nine.
        ZoneChange{"America/New_York", QTime(19, 10), {"n 05:03", "C 10:30", "B 19:05"}}));
