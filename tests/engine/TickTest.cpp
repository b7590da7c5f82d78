#include "EngineTest.h"
#include "EventActions.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

// Actions whose first entry shows a note that stays up, with the event loop running, until
// another entry has run or a second has passed.
class LingeringNote : public EventActions
{
public:
    QString act(int slot) override
    {
        acted.append(slot);
        if (noteShowing)
            ranWhileShown.append(slot);
        return slot == 1 ? QStringLiteral("note") : QString();
    }
    void showNote(const QString&, const QString&) override
    {
        noteShowing = true;
        QEventLoop wait;
        QTimer poll;
        QElapsedTimer shown;
        shown.start();
        QObject::connect(&poll, &QTimer::timeout, &wait, [&] {
            if (!ranWhileShown.isEmpty() || shown.elapsed() > 1000)
                wait.quit();
        });
        poll.start(5);
        wait.exec();
        noteShowing = false;
        done = true;
    }
    QList<int> acted;
    QList<int> ranWhileShown;
    bool noteShowing = false;
    bool done = false;
};

// Actions that only write down which places ran.
class RunLog : public EventActions
{
public:
    QString act(int slot) override
    {
        ran.append(slot);
        return {};
    }
    void showNote(const QString&, const QString&) override {}
    QList<int> ran;
};

} // namespace

namespace {

struct StatusCase
{
    QTime clock;
    int due;
    int hoursLeft;
    int minsLeft;
    const char* hint;
};

class StatusText : public EngineTest, public ::testing::WithParamInterface<StatusCase>
{};

} // namespace

TEST_P(StatusText, CountsDownToTheNextEntry)
{
    haveSettings("0,0");
    writeCfg("");
    start();
    state.EventCount = 1;
    state.EventTimes[1] = GetParam().due;
    state.EventRepeat[1] = 0;
    fakes.clock.setTime(GetParam().clock);
    form->NextTime();
    EXPECT_EQ(form->Hint, QString::fromLatin1(GetParam().hint));
    EXPECT_EQ(form->HoursLeft, GetParam().hoursLeft);
    EXPECT_EQ(form->MinsLeft, GetParam().minsLeft);
    EXPECT_EQ(state.NextEvent, 1);
    EXPECT_EQ(form->NowMin, GetParam().clock.minute());
}

INSTANTIATE_TEST_SUITE_P(Examples, StatusText,
                         ::testing::Values(StatusCase{QTime(14, 5), 1630, 2, 25, "Nudgeon: 2hrs 25min"},
                                           StatusCase{QTime(14, 5), 1505, 1, 0, "Nudgeon: 1hr 0min"},
                                           StatusCase{QTime(14, 5), 1500, 0, 55, "Nudgeon:  55min"},
                                           StatusCase{QTime(14, 5, 59), 1405, 0, 0, "Running..."},
                                           StatusCase{QTime(0, 0), 2359, 23, 59, "Nudgeon: 23hrs 59min"},
                                           StatusCase{QTime(9, 59), 1000, 0, 1, "Nudgeon:  1min"}));

TEST_F(EngineTest, NothingLeftTodayNamesTheWeekday)
{
    haveSettings("0,0");
    writeCfg(" 09:30 AM    ,,0,\r\n 08:00 AM    ,,/3,\r\n");
    start();
    fakes.clock.set(QDate(2026, 12, 6), QTime(23, 10)); // a Sunday
    form->NextTime();
    EXPECT_EQ(form->Hint, "No Sunday events...");
    EXPECT_EQ(form->HoursLeft, 24);
    EXPECT_EQ(state.NextEvent, 1);
}

TEST_F(EngineTest, TheEarliestEntryAndThenTheLowestPlaceIsNext)
{
    haveSettings("0,0");
    writeCfg("11:00 AM    ,,0,\r\n 10:00 AM    ,,0,\r\n 10:00 AM    ,,0,x\r\n 09:00 AM    ,,0,\r\n"
             " 10:00 AM    ,,/3,\r\n");
    start();
    fakes.clock.setTime(QTime(9, 30));
    form->NextTime();
    EXPECT_EQ(state.NextEvent, 2);
    // An entry of this minute counts as not yet passed.
    fakes.clock.setTime(QTime(9, 0, 50));
    form->NextTime();
    EXPECT_EQ(state.NextEvent, 4);
    EXPECT_EQ(form->Hint, "Running...");
}

TEST_F(EngineTest, RepeatsMoveTheDueTimeOnAndWrapPastMidnight)
{
    haveSettings("0,0");
    writeCfg("11:00 PM    ,,90,\r\n10:30 PM    ,,60,\r\n 09:00 AM    ,,1440,\r\n 09:00 AM    ,,0,\r\n");
    start();
    state.NextEvent = 1;
    form->RerunTime();
    EXPECT_EQ(state.EventTimes[1], 30);
    state.NextEvent = 2;
    form->RerunTime();
    EXPECT_EQ(state.EventTimes[2], 2330);
    form->RerunTime();
    EXPECT_EQ(state.EventTimes[2], 30);
    form->RerunTime();
    EXPECT_EQ(state.EventTimes[2], 130);
    state.NextEvent = 3;
    form->RerunTime();
    EXPECT_EQ(state.EventTimes[3], 900);
    state.NextEvent = 4;
    form->RerunTime();
    EXPECT_EQ(state.EventTimes[4], 900);
}

TEST_F(EngineTest, TwoEntriesOfOneMinuteRunOneAfterTheOther)
{
    haveSettings("0,0");
    writeCfg(" 08:00 AM    ,,0,\r\n 09:00 AM    ,,0,\r\n 10:00 AM    ,,0,a\r\n 11:00 AM    ,,0,\r\n"
             " 10:00 AM    ,,0,b\r\n");
    start();
    tickAt(QTime(10, 0, 5));
    EXPECT_EQ(state.EventRepeat[3], -1);
    EXPECT_EQ(state.EventRepeat[5], 0);
    EXPECT_EQ(form->Timer1.interval(), 2000);
    EXPECT_EQ(tray.tip, "Running...");

    tickAt(QTime(10, 0, 7));
    EXPECT_EQ(state.EventRepeat[5], -1);
    EXPECT_EQ(state.NextEvent, 4);
    EXPECT_EQ(form->Timer1.interval(), 2000);

    // The last of the minute sends the next tick to a second into the coming minute.
    tickAt(QTime(10, 0, 9));
    EXPECT_EQ(form->Timer1.interval(), 52000);
    EXPECT_EQ(tray.tip, "Nudgeon: 1hr 0min");
}

TEST_F(EngineTest, ADailyIntervalOfADayKeepsItsMinuteAndRunsOnceWhileTheOtherEntryRunsToo)
{
    haveSettings("0,0");
    writeCfg(" 10:00 AM    ,,1440,\r\n 10:00 AM    ,,0,\r\n");
    start();
    tickAt(QTime(10, 0, 5));
    EXPECT_EQ(state.EventTimes[1], 1000);
    EXPECT_EQ(state.EventRepeat[1], 1440);
    // The entry that ran keeps its minute but is not chosen again in it: the other one is.
    EXPECT_EQ(state.NextEvent, 2);
    EXPECT_EQ(form->Timer1.interval(), 2000);
    tickAt(QTime(10, 0, 7));
    EXPECT_EQ(state.EventRepeat[2], -1);
    tickAt(QTime(10, 0, 9));
    EXPECT_EQ(form->Timer1.interval(), 52000);
    EXPECT_EQ(state.EventRepeat[1], 1440);
    tickAt(QTime(10, 1, 1));
    EXPECT_EQ(form->Hint, "No Monday events...");
    // The next day it runs again in its minute.
    fakes.clock.set(QDate(2026, 12, 8), QTime(9, 59, 1));
    form->DoTime();
    EXPECT_EQ(state.NextEvent, 1);
    EXPECT_EQ(form->Hint, "Nudgeon:  1min");
}

TEST_F(EngineTest, ManyEntriesOfOneMinuteAllRunWhenTheTickCameLateInIt)
{
    haveSettings("0,0");
    QByteArray lines;
    for (int i = 0; i < 8; ++i)
        lines += " 10:00 AM    ,,0," + QByteArray::number(i) + "\r\n";
    writeCfg(lines);
    start();
    // Started late in the minute before: the ticks move to the start of each minute.
    QTime t(9, 59, 50);
    tickAt(t);
    for (int guard = 0; guard < 100 && t < QTime(10, 2); ++guard) {
        t = t.addMSecs(form->Timer1.interval());
        tickAt(t);
    }
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(state.EventRepeat[static_cast<size_t>(i)], -1) << i;
}

TEST_F(EngineTest, ARepeatingEntryWhoseTimePassedWithoutARunGoesOnFromItsNextTime)
{
    haveSettings("0,0");
    writeCfg(" 08:00 AM    ,,30,\r\n 10:01 AM    ,,20,\r\n10:35 PM    ,,60,\r\n");
    fakes.clock.setTime(QTime(13, 10));
    start();
    // Started after its start time: the half-hourly entry is not run late but goes on at 13:30.
    tickAt(QTime(13, 10, 2));
    EXPECT_EQ(state.EventTimes[1], 1330);
    EXPECT_EQ(state.EventTimes[2], 1321);
    tickAt(QTime(13, 21, 1));
    EXPECT_EQ(state.EventTimes[2], 1341);
    // A minute passed over (a tick held up, a computer asleep) does not end the day's repeats.
    tickAt(QTime(13, 43, 1));
    EXPECT_EQ(state.EventTimes[2], 1401);
    EXPECT_EQ(state.EventTimes[1], 1400);
    EXPECT_EQ(form->Hint, "Nudgeon:  17min");

    // A run late in the evening moves the time past midnight: that time is left for tomorrow.
    tickAt(QTime(22, 35, 1));
    EXPECT_EQ(state.EventTimes[3], 2335);
    tickAt(QTime(23, 35, 1));
    EXPECT_EQ(state.EventTimes[3], 35);
    tickAt(QTime(23, 45, 1));
    EXPECT_EQ(state.EventTimes[3], 35);
    fakes.clock.set(QDate(2026, 12, 8), QTime(0, 35, 1));
    form->DoTime();
    EXPECT_EQ(state.EventTimes[3], 135);
}

TEST_F(EngineTest, ATickHeldUpPastSomeMinutesRunsTheEntriesItPassedOverOnceEach)
{
    haveSettings("0,0");
    writeCfg(" 10:04 AM    ,,0,\r\n 10:02 AM    ,,30,\r\n 10:03 AM    ,,1440,\r\n 10:06 AM    ,,0,\r\n"
             " 10:02 AM    ,,0,\r\n 10:01 AM    ,,0,\r\n");
    start();
    RunLog log;
    form->setActions(&log);
    tickAt(QTime(10, 1, 1));
    ASSERT_EQ(log.ran.size(), 1);
    EXPECT_EQ(log.ran[0], 6);
    // Held up from 10:01 to 10:05: the minutes 10:02 to 10:04 were passed over. Their entries
    // run now in the order of their times; the one of 10:06 waits for its minute.
    tickAt(QTime(10, 5, 30));
    EXPECT_EQ(log.ran, QList<int>({6, 2, 5, 3, 1}));
    EXPECT_EQ(state.EventTimes[2], 1032);
    EXPECT_EQ(state.EventTimes[3], 1003);
    EXPECT_EQ(state.EventRepeat[1], -1);
    EXPECT_EQ(state.EventRepeat[5], -1);
    EXPECT_EQ(state.EventRepeat[4], 0);
    EXPECT_EQ(form->Hint, "Nudgeon:  1min");

    // Nothing runs twice: not in the minute of the catching up, not at the next ticks.
    for (const QTime t : {QTime(10, 5, 32), QTime(10, 6, 1), QTime(10, 7, 1), QTime(10, 31, 1)})
        tickAt(t);
    EXPECT_EQ(log.ran, QList<int>({6, 2, 5, 3, 1, 4}));
}

TEST_F(EngineTest, AfterAGapOfMoreThanTenMinutesThePassedTimesAreMissed)
{
    haveSettings("0,0");
    writeCfg(" 10:05 AM    ,,0,\r\n 10:10 AM    ,,0,\r\n 10:12 AM    ,,20,\r\n");
    start();
    RunLog log;
    form->setActions(&log);
    // The first tick after the start runs nothing that passed before it.
    tickAt(QTime(10, 7, 1));
    EXPECT_TRUE(log.ran.isEmpty());
    // Ten minutes from 10:07 to 10:17: 10:10 and 10:12 still run.
    tickAt(QTime(10, 17, 1));
    ASSERT_EQ(log.ran, QList<int>({2, 3}));
    EXPECT_EQ(state.EventTimes[3], 1032);
    // Eleven minutes from 10:17 to 10:28 (a computer asleep): 10:32 is next, nothing ran.
    state.EventTimes[3] = 1020;
    tickAt(QTime(10, 28, 1));
    EXPECT_EQ(log.ran.size(), 2);
    EXPECT_EQ(state.EventTimes[3], 1040);
    // A day's gap: the new day's times that passed are missed too.
    fakes.clock.set(QDate(2026, 12, 8), QTime(10, 11, 0));
    form->DoTime();
    EXPECT_EQ(log.ran.size(), 2);
    // A clock put back catches nothing up; from there on a held-up tick does as before.
    fakes.clock.set(QDate(2026, 12, 8), QTime(10, 3, 0));
    form->DoTime();
    fakes.clock.set(QDate(2026, 12, 8), QTime(10, 7, 0));
    form->DoTime();
    ASSERT_EQ(log.ran.size(), 3);
    EXPECT_EQ(log.ran[2], 1);
}

TEST_F(EngineTest, ARepeatingEntryRunsAgainAtItsNextMinute)
{
    haveSettings("0,0");
    writeCfg(" 10:00 AM    ,,30,\r\n");
    start();
    tickAt(QTime(10, 0, 1));
    EXPECT_EQ(state.EventTimes[1], 1030);
    EXPECT_EQ(form->Timer1.interval(), 60000);
    tickAt(QTime(10, 29, 1));
    EXPECT_EQ(state.EventTimes[1], 1030);
    tickAt(QTime(10, 30, 1));
    EXPECT_EQ(state.EventTimes[1], 1100);
}

TEST_F(EngineTest, TheChimeRingsOnceAtTheTopOfEachHour)
{
    haveSettings("1,0");
    writeCfg(" 08:00 AM    ,,0,\r\n");
    start();
    fakes.sound.played.clear();
    tickAt(QTime(14, 0, 10));
    EXPECT_EQ(fakes.sound.played, QStringList({"beep", "Nudgeon.wav"}));
    EXPECT_EQ(fakes.clock.sleeps, QList<int>({100}));
    tickAt(QTime(14, 0, 12));
    tickAt(QTime(14, 1, 10));
    EXPECT_EQ(fakes.sound.played.size(), 2);
    tickAt(QTime(15, 0, 10));
    EXPECT_EQ(fakes.sound.played.size(), 4);

    // Chime off: the top of the hour is silent.
    state.ChimeOn = false;
    tickAt(QTime(16, 0, 10));
    EXPECT_EQ(fakes.sound.played.size(), 4);
}

TEST_F(EngineTest, ANewDayRenewsEveryEntryBeforeTheNextIsChosen)
{
    haveSettings("0,0");
    // Midnight once a day, Tuesdays at 6, the 8th at 7, and a repeat of 90 minutes from 22:00.
    writeCfg(" 12:00 AM    ,,0,\r\n 06:00 AM    ,,/3,\r\n 07:00 AM    ,,-8,\r\n10:00 PM    ,,90,\r\n");
    start(); // Monday 7 December, 09:00
    EXPECT_EQ(state.EventRepeat[2], -1);
    tickAt(QTime(22, 0, 3));
    EXPECT_EQ(state.EventTimes[4], 2330);
    tickAt(QTime(23, 30, 3));
    EXPECT_EQ(state.EventTimes[4], 100);

    // The tick of 00:00 on Tuesday runs the midnight entry on the renewed state.
    fakes.clock.set(QDate(2026, 12, 8), QTime(0, 0, 3));
    form->DoTime();
    EXPECT_EQ(state.EventRepeat[1], -1); // ran
    EXPECT_EQ(state.EventRepeat[2], 0);  // Tuesday
    EXPECT_EQ(state.EventRepeat[3], 0);  // the 8th
    EXPECT_EQ(state.EventTimes[4], 100); // the repeat keeps its cycle
    EXPECT_EQ(state.EventRepeat[4], 90);

    // A second tick within the same minute does not renew again.
    fakes.clock.set(QDate(2026, 12, 8), QTime(0, 0, 5));
    form->DoTime();
    EXPECT_EQ(state.EventRepeat[1], -1);

    // Wednesday begins while the computer sleeps: the first tick of the day renews.
    fakes.clock.set(QDate(2026, 12, 9), QTime(8, 15, 0));
    form->DoTime();
    EXPECT_EQ(state.EventRepeat[1], 0);
    EXPECT_EQ(state.EventRepeat[2], -1);
    EXPECT_EQ(state.EventRepeat[3], -1);
}

TEST_F(EngineTest, AnEmptyScheduleOnlyRefreshesTheTipAndChimes)
{
    haveSettings("1,0");
    writeCfg("");
    start();
    fakes.sound.played.clear();
    tickAt(QTime(15, 0, 2));
    EXPECT_EQ(tray.tip, "No Monday events...");
    EXPECT_EQ(fakes.sound.played, QStringList({"beep", "Nudgeon.wav"}));
    EXPECT_EQ(form->Timer1.interval(), 60000);
}

TEST_F(EngineTest, AnAnnouncedStartBeepsEvenWithTheChimeOff)
{
    haveSettings("0,0");
    writeCfg("");
    start();
    fakes.sound.played.clear();
    form->ChimeTime();
    EXPECT_EQ(fakes.sound.played, QStringList({"beep"}));
}

TEST_F(EngineTest, ATickLateInItsMinuteMovesTheNextToTheStartOfTheComingMinute)
{
    haveSettings("0,0");
    writeCfg(" 11:00 AM    ,,0,\r\n");
    start();
    EXPECT_EQ(form->Timer1.timerType(), Qt::PreciseTimer);
    tickAt(QTime(10, 0, 57, 250));
    EXPECT_EQ(form->Timer1.interval(), 3750);
    tickAt(QTime(10, 1, 1));
    EXPECT_EQ(form->Timer1.interval(), 60000);
    // A tick that drifted a few seconds into its minute goes back to the start of the next.
    tickAt(QTime(10, 2, 54, 999));
    EXPECT_EQ(form->Timer1.interval(), 6001);
    tickAt(QTime(10, 3, 4, 999));
    EXPECT_EQ(form->Timer1.interval(), 60000);
    tickAt(QTime(10, 4, 5, 0));
    EXPECT_EQ(form->Timer1.interval(), 56000);
}

TEST_F(EngineTest, TheTimerGoesOnTickingWhileANoteShows)
{
    haveSettings("0,0");
    writeCfg(" 10:00 AM    ,,0,[1.txt]\r\n 10:00 AM    ,,0,second\r\n");
    LingeringNote actions;
    start();
    form->setActions(&actions);
    fakes.clock.setTime(QTime(10, 0, 5));
    // The real timer, briskly: the note's entry runs at its first tick, the other entry at a
    // tick that comes while the note is still up.
    form->setInterval(20);
    QEventLoop outer;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &outer, [&] {
        if (actions.done)
            outer.quit();
    });
    check.start(5);
    QTimer::singleShot(3000, &outer, &QEventLoop::quit);
    outer.exec();
    ASSERT_TRUE(actions.done);
    EXPECT_EQ(actions.ranWhileShown, QList<int>({2}));
    EXPECT_EQ(actions.acted, QList<int>({1, 2}));
}
