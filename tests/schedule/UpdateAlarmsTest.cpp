#include "ScheduleState.h"

#include <gtest/gtest.h>

namespace {

const QDate monday(2026, 12, 7);

// A schedule whose entries carry state that evaluation from their lines would not give.
ScheduleState scheduleOf(const QStringList& lines)
{
    ScheduleState s;
    s.EventList = lines;
    s.EventCount = static_cast<int>(lines.size());
    for (int i = 1; i <= s.EventCount; ++i) {
        s.EventTimes[static_cast<size_t>(i)] = 2300 + i; // "advanced" due times
        s.EventRepeat[static_cast<size_t>(i)] = 10 + i;
    }
    return s;
}

const QString A = " 01:00 AM    ,a,0,";
const QString B = " 02:00 AM    ,b,0,";
const QString C = " 03:00 AM    ,c,0,";
const QString D = " 04:00 AM    ,d,30,";

} // namespace

TEST(UpdateAlarms, DeletingAnEntryMovesTheLaterStatesDown)
{
    ScheduleState s = scheduleOf({A, B, C, D});
    updateAlarms(s, {A, C, D}, monday);
    EXPECT_EQ(s.EventList, QStringList({A, C, D}));
    EXPECT_EQ(s.EventCount, 3);
    EXPECT_EQ(s.EventTimes[1], 2301);
    EXPECT_EQ(s.EventTimes[2], 2303);
    EXPECT_EQ(s.EventRepeat[2], 13);
    EXPECT_EQ(s.EventTimes[3], 2304);
    EXPECT_EQ(s.EventRepeat[3], 14);
    EXPECT_EQ(s.EventTimes[4], -1);
    EXPECT_EQ(s.EventRepeat[4], -1);
}

TEST(UpdateAlarms, InsertingAtTheTopKeepsTheStateOfTheLinesItCanCarry)
{
    const QString N = " 12:30 AM    ,new,0,";
    ScheduleState s = scheduleOf({A, B, C, D});
    updateAlarms(s, {N, A, B, C, D}, monday);
    EXPECT_EQ(s.EventList, QStringList({N, A, B, C, D}));
    EXPECT_EQ(s.EventCount, 5);
    // A and C carried their state to places 2 and 4.
    EXPECT_EQ(s.EventTimes[2], 2301);
    EXPECT_EQ(s.EventRepeat[2], 11);
    EXPECT_EQ(s.EventTimes[4], 2303);
    EXPECT_EQ(s.EventRepeat[4], 13);
    // The new line, B and D were evaluated afresh from their start times.
    EXPECT_EQ(s.EventTimes[1], 30);
    EXPECT_EQ(s.EventRepeat[1], 0);
    EXPECT_EQ(s.EventTimes[3], 200);
    EXPECT_EQ(s.EventRepeat[3], 0);
    EXPECT_EQ(s.EventTimes[5], 400);
    EXPECT_EQ(s.EventRepeat[5], 30);
}

TEST(UpdateAlarms, AChangedLineIsEvaluatedAfreshAndOthersKeepTheirState)
{
    const QString changed = " 02:00 AM    ,b,/3,"; // Tuesdays only
    ScheduleState s = scheduleOf({A, B, C});
    updateAlarms(s, {A, changed, C}, monday);
    EXPECT_EQ(s.EventList, QStringList({A, changed, C}));
    EXPECT_EQ(s.EventTimes[1], 2301);
    EXPECT_EQ(s.EventTimes[2], 200);
    EXPECT_EQ(s.EventRepeat[2], -1);
    EXPECT_EQ(s.EventTimes[3], 2303);
}

TEST(UpdateAlarms, FromAnEmptyScheduleAndBackToEmpty)
{
    ScheduleState s;
    updateAlarms(s, {A, D}, monday);
    EXPECT_EQ(s.EventList, QStringList({A, D}));
    EXPECT_EQ(s.EventTimes[1], 100);
    EXPECT_EQ(s.EventTimes[2], 400);
    EXPECT_EQ(s.EventRepeat[2], 30);

    updateAlarms(s, {}, monday);
    EXPECT_TRUE(s.EventList.isEmpty());
    EXPECT_EQ(s.EventCount, 0);
    for (int i = 1; i <= MaxEvents; ++i)
        EXPECT_EQ(s.EventTimes[static_cast<size_t>(i)], -1);
}

TEST(UpdateAlarms, ALineChangedOnlyInLetterCaseTakesTheNewText)
{
    const QString upper = " 01:00 AM    ,A,0,";
    ScheduleState s = scheduleOf({A});
    updateAlarms(s, {upper}, monday);
    EXPECT_EQ(s.EventList, QStringList({upper}));
}
