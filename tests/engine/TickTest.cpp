// SPDX-License-Identifier: MIT
#include "tests/support/EngineTest.h"

namespace {

struct StatusCase
{
    QTime clock;
    QTime due;
    const char* hint;
};

class StatusText : public EngineTest, public ::testing::WithParamInterface<StatusCase>
{};

} // namespace

TEST_P(StatusText, CountsDownToTheNextEntry)
{
    haveSettings("0,0");
    writeCfg((composeTimeField(GetParam().due) + ",,0,\r\n").toLatin1());
    start();
    fakes.clock.setTime(GetParam().clock);
    form->refreshStatus();
    EXPECT_EQ(form->status(), QString::fromLatin1(GetParam().hint));
    EXPECT_EQ(form->nextLine(), lines().first());
}

INSTANTIATE_TEST_SUITE_P(Examples, StatusText,
                         ::testing::Values(StatusCase{QTime(14, 5), QTime(16, 30), "Nudgeon: 2hrs 25min"},
                                           StatusCase{QTime(14, 5), QTime(15, 5), "Nudgeon: 1hr 0min"},
                                           StatusCase{QTime(14, 5), QTime(15, 0), "Nudgeon:  55min"},
                                           StatusCase{QTime(14, 5, 59), QTime(14, 5), "Running..."},
                                           StatusCase{QTime(0, 0), QTime(23, 59), "Nudgeon: 23hrs 59min"},
                                           StatusCase{QTime(9, 59), QTime(10, 0), "Nudgeon:  1min"}));

TEST_F(EngineTest, NothingLeftTodayNamesTheWeekday)
{
    haveSettings("0,0");
    writeCfg(" 09:30 AM    ,,0,\r\n 08:00 AM    ,,/3,\r\n");
    fakes.clock.set(QDate(2026, 12, 6), QTime(23, 10)); // a Sunday
    start();
    EXPECT_EQ(form->status(), "No Sunday events...");
    EXPECT_EQ(form->nextLine(), lines().first());
}

TEST_F(EngineTest, TheEarliestEntryAndThenTheLowestPlaceIsNext)
{
    haveSettings("0,0");
    writeCfg("11:00 AM    ,,0,\r\n 10:00 AM    ,,0,\r\n 10:00 AM    ,,0,x\r\n 09:00 AM    ,,0,\r\n"
             " 10:00 AM    ,,/3,\r\n");
    start();
    fakes.clock.setTime(QTime(9, 30));
    form->refreshStatus();
    EXPECT_EQ(form->nextLine(), lines()[1]);
    // An entry of this minute counts as not yet passed.
    fakes.clock.setTime(QTime(9, 0, 50));
    form->refreshStatus();
    EXPECT_EQ(form->nextLine(), lines()[3]);
    EXPECT_EQ(form->status(), "Running...");
}

TEST_F(EngineTest, TwoEntriesOfOneMinuteRunOneAfterTheOther)
{
    haveSettings("0,0");
    writeCfg(" 08:00 AM    ,,0,\r\n 09:00 AM    ,,0,\r\n 10:00 AM    ,,0,a\r\n 11:00 AM    ,,0,\r\n"
             " 10:00 AM    ,,0,b\r\n");
    fakes.clock.setTime(QTime(9, 59, 58));
    start();
    tickAt(QTime(10, 0, 5));
    EXPECT_EQ(ranTexts(), QStringList({"a"}));
    EXPECT_EQ(form->interval(), 2000);
    EXPECT_EQ(tray.tip, "Running...");

    tickAt(QTime(10, 0, 7));
    EXPECT_EQ(ranTexts(), QStringList({"a", "b"}));
    EXPECT_EQ(form->nextLine(), lines()[3]);
    EXPECT_EQ(form->interval(), 2000);

    // The last of the minute sends the next tick to a second into the coming minute.
    tickAt(QTime(10, 0, 9));
    EXPECT_EQ(form->interval(), 52000);
    EXPECT_EQ(tray.tip, "Nudgeon: 1hr 0min");
    EXPECT_EQ(ran.size(), 2);
}

TEST_F(EngineTest, ADailyIntervalOfADayRunsOnceADayInItsMinuteBesideAnotherEntry)
{
    haveSettings("0,0");
    writeCfg(" 10:00 AM    ,,1440,a\r\n 10:00 AM    ,,0,b\r\n");
    start();
    tickUntil(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 5)), QDateTime(QDate(2026, 12, 7), QTime(10, 2)));
    EXPECT_EQ(ranTexts(), QStringList({"a", "b"}));
    EXPECT_EQ(form->status(), "No Monday events...");
    // The next day it runs again in its minute.
    tickAt(QDateTime(QDate(2026, 12, 8), QTime(9, 59, 1)));
    EXPECT_EQ(form->status(), "Nudgeon:  1min");
    EXPECT_EQ(form->nextLine(), lines()[0]);
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
    tickUntil(QDateTime(QDate(2026, 12, 7), QTime(9, 59, 50)), QDateTime(QDate(2026, 12, 7), QTime(10, 2)));
    EXPECT_EQ(ranTexts(), QStringList({"0", "1", "2", "3", "4", "5", "6", "7"}));
}

TEST_F(EngineTest, ARepeatingEntryWhoseTimePassedWithoutARunGoesOnFromItsNextTime)
{
    haveSettings("0,0");
    writeCfg(" 08:00 AM    ,,30,a\r\n 10:01 AM    ,,20,b\r\n10:35 PM    ,,60,c\r\n");
    fakes.clock.setTime(QTime(13, 10));
    start();
    // Started after its start time: the half-hourly entry is not run late but goes on at 13:30.
    tickAt(QTime(13, 10, 2));
    EXPECT_TRUE(ran.isEmpty());
    EXPECT_EQ(form->status(), "Nudgeon:  11min");
    tickAt(QTime(13, 21, 1));
    EXPECT_EQ(ranTexts(), QStringList({"b"}));
    // A minute passed over by a long gap does not end the day's repeats.
    tickAt(QTime(13, 43, 1));
    EXPECT_EQ(form->status(), "Nudgeon:  17min (2 missed while asleep)");
    tickAt(QTime(14, 0, 1));
    EXPECT_EQ(ranTexts(), QStringList({"b", "a"}));
    EXPECT_EQ(tray.tip, "Running...");

    // Runs late in the evening go on past midnight; the tick of 23:45 catches b's 23:41 up.
    ran.clear();
    for (const QTime t : {QTime(22, 35, 1), QTime(23, 35, 1), QTime(23, 45, 1)})
        tickAt(t);
    tickAt(QDateTime(QDate(2026, 12, 8), QTime(0, 35, 1)));
    EXPECT_EQ(ranTexts(), QStringList({"c", "c", "b", "c"}));
}

TEST_F(EngineTest, ATickHeldUpPastSomeMinutesRunsTheEntriesItPassedOverOnceEach)
{
    haveSettings("0,0");
    writeCfg(" 10:04 AM    ,,0,1\r\n 10:02 AM    ,,30,2\r\n 10:03 AM    ,,1440,3\r\n 10:06 AM    ,,0,4\r\n"
             " 10:02 AM    ,,0,5\r\n 10:01 AM    ,,0,6\r\n");
    start();
    tickAt(QTime(10, 1, 1));
    EXPECT_EQ(ranTexts(), QStringList({"6"}));
    // Held up from 10:01 to 10:05: the minutes 10:02 to 10:04 were passed over. Their entries
    // run now in the order of their times; the one of 10:06 waits for its minute.
    tickAt(QTime(10, 5, 30));
    EXPECT_EQ(ranTexts(), QStringList({"6", "2", "5", "3", "1"}));
    EXPECT_EQ(form->status(), "Nudgeon:  1min");

    // Nothing runs twice: not in the minute of the catching up, not at the next ticks.
    for (const QTime t : {QTime(10, 5, 32), QTime(10, 6, 1), QTime(10, 7, 1), QTime(10, 32, 1)})
        tickAt(t);
    EXPECT_EQ(ranTexts(), QStringList({"6", "2", "5", "3", "1", "4", "2"}));
}

TEST_F(EngineTest, AfterAGapOfMoreThanTenMinutesThePassedTimesAreMissed)
{
    haveSettings("0,0");
    writeCfg(" 10:05 AM    ,,0,1\r\n 10:10 AM    ,,0,2\r\n 10:12 AM    ,,20,3\r\n");
    start();
    // The first tick after the start runs nothing that passed before it.
    tickAt(QTime(10, 7, 1));
    EXPECT_TRUE(ran.isEmpty());
    // Ten minutes from 10:07 to 10:17: 10:10 and 10:12 still run.
    tickAt(QTime(10, 17, 1));
    ASSERT_EQ(ranTexts(), QStringList({"2", "3"}));
    // Eleven minutes from 10:21 to 10:32 (a computer asleep): 10:32 is this minute's.
    tickAt(QTime(10, 21, 1));
    tickAt(QTime(10, 32, 1));
    EXPECT_EQ(ranTexts(), QStringList({"2", "3", "3"}));
    // A day's gap: the new day's times that passed are missed too.
    tickAt(QDateTime(QDate(2026, 12, 8), QTime(10, 11, 0)));
    EXPECT_EQ(ran.size(), 3);
    // A clock put back reruns nothing; what never ran still runs when its time comes again.
    tickAt(QDateTime(QDate(2026, 12, 8), QTime(10, 3, 0)));
    tickAt(QDateTime(QDate(2026, 12, 8), QTime(10, 7, 0)));
    ASSERT_EQ(ranTexts(), QStringList({"2", "3", "3", "1"}));
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
    fakes.settings.save({false, false});
    tickAt(QTime(16, 0, 10));
    EXPECT_EQ(fakes.sound.played.size(), 4);
}

TEST_F(EngineTest, EachDayHasItsOwnRulesAndTheMidnightEntryRunsAtMidnight)
{
    haveSettings("0,0");
    // Midnight once a day, Tuesdays at 6, the 8th at 7, and a repeat of 90 minutes from 22:00.
    writeCfg(" 12:00 AM    ,,0,midnight\r\n 06:00 AM    ,,/3,tuesday\r\n 07:00 AM    ,,-8,8th\r\n"
             "10:00 PM    ,,90,repeat\r\n");
    start(); // Monday 7 December, 09:00
    EXPECT_FALSE(form->isDueToday(lines()[1]));
    tickUntil(QDateTime(QDate(2026, 12, 7), QTime(9, 0, 2)), QDateTime(QDate(2026, 12, 8), QTime(8, 0)));
    EXPECT_EQ(ranTexts(), QStringList({"repeat", "repeat", "midnight", "repeat", "repeat", "repeat", "repeat",
                                       "tuesday", "8th", "repeat"}));
    // Wednesday begins while the computer sleeps: its rules hold from the first tick on.
    tickAt(QDateTime(QDate(2026, 12, 9), QTime(8, 15, 0)));
    EXPECT_FALSE(form->isDueToday(lines()[1]));
    EXPECT_FALSE(form->isDueToday(lines()[2]));
    EXPECT_TRUE(form->isDueToday(lines()[3]));
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
    EXPECT_EQ(form->interval(), 60000);
}

TEST_F(EngineTest, AnAnnouncedStartBeepsEvenWithTheChimeOff)
{
    haveSettings("0,0");
    writeCfg("");
    start();
    fakes.sound.played.clear();
    chime.ring();
    EXPECT_EQ(fakes.sound.played, QStringList({"beep"}));
}

TEST_F(EngineTest, ATickLateInItsMinuteMovesTheNextToTheStartOfTheComingMinute)
{
    haveSettings("0,0");
    writeCfg(" 11:00 AM    ,,0,\r\n");
    start();
    EXPECT_EQ(form->timerType(), Qt::PreciseTimer);
    tickAt(QTime(10, 0, 57, 250));
    EXPECT_EQ(form->interval(), 3750);
    tickAt(QTime(10, 1, 1));
    EXPECT_EQ(form->interval(), 60000);
    // A tick that drifted a few seconds into its minute goes back to the start of the next.
    tickAt(QTime(10, 2, 54, 999));
    EXPECT_EQ(form->interval(), 6001);
    tickAt(QTime(10, 3, 4, 999));
    EXPECT_EQ(form->interval(), 60000);
    tickAt(QTime(10, 4, 5, 0));
    EXPECT_EQ(form->interval(), 56000);
}
