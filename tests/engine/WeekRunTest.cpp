// SPDX-License-Identifier: MIT
// Seven days of ticks, as the timer delivers them, through a schedule of thirty mixed entries:
// every entry runs exactly as often as its rule says.

#include "actions/EventRunner.h"
#include "actions/NoteView.h"
#include "schedule/NoteFiles.h"
#include "tests/support/EngineTest.h"

#include <QMap>

namespace {

class CountingNoteView : public NoteView
{
public:
    void showNote(const QString&, const QString& path, const QString&, const QString&) override
    {
        shown[path] += 1;
    }
    QMap<QString, int> shown;
};

struct WeekEntry
{
    QTime start;
    QString repeat;
    QString name;
    bool note = false;
};

const QDateTime weekStart(QDate(2026, 12, 7), QTime(0, 0, 5)); // a Monday
constexpr int weekMinutes = 7 * 24 * 60;

// The number of runs the rule gives within the week, worked out from the rule alone.
int expectedRuns(const WeekEntry& e)
{
    const int start = e.start.hour() * 60 + e.start.minute();
    bool isNumber = false;
    const int n = e.repeat.toInt(&isNumber);
    if (isNumber && n > 0) // every n minutes from the start time, across midnight
        return (weekMinutes - 1 - start) / n + 1;
    int runs = 0;
    for (int day = 0; day < 7; ++day) {
        const QDate date = weekStart.date().addDays(day);
        if (isNumber && n == 0)
            runs += 1;
        else if (isNumber && n < 0)
            runs += date.day() == -n ? 1 : 0;
        else
            runs += e.repeat.contains(QChar('0' + date.dayOfWeek() % 7 + 1)) ? 1 : 0;
    }
    return runs;
}

} // namespace

TEST_F(EngineTest, AWeekOfTicksRunsEveryEntryAsOftenAsItsRuleSays)
{
    // Repeating entries keep to minutes of their own, so that no two entries share a minute.
    const QList<WeekEntry> entries = {
        {QTime(0, 0), "0", "midnight"},
        {QTime(0, 29), "30", "half-hourly"},
        {QTime(8, 7), "60", "hourly"},
        {QTime(22, 13), "90", "every-90", true},
        {QTime(12, 21), "45", "every-45"},
        {QTime(7, 2), "1440", "daily-by-interval"},
        {QTime(6, 0), "0", "morning", true},
        {QTime(6, 10), "0", "morning-2"},
        {QTime(11, 55), "0", "before-noon"},
        {QTime(12, 0), "0", "noon"},
        {QTime(23, 50), "0", "late", true},
        {QTime(9, 0), "/246", "mon-wed-fri"},
        {QTime(10, 0), "/71", "weekend", true},
        {QTime(10, 15), "/2345671", "every-day"},
        {QTime(10, 20), "/", "never"},
        {QTime(10, 25), "/3", "tuesday"},
        {QTime(13, 0), "/5", "thursday"},
        {QTime(14, 0), "-8", "the-8th"},
        {QTime(14, 10), "-10", "the-10th", true},
        {QTime(14, 15), "-31", "the-31st"},
        {QTime(14, 20), "-13", "the-13th"},
        {QTime(15, 0), "0", "afternoon"},
        {QTime(15, 10), "0", "afternoon-2"},
        {QTime(15, 20), "0", "afternoon-3", true},
        {QTime(16, 30), "0", "clock"},
        {QTime(17, 40), "0", "evening"},
        {QTime(18, 50), "/1", "sunday"},
        {QTime(19, 0), "-14", "the-14th"},
        {QTime(20, 0), "0", "night"},
        {QTime(21, 10), "/7", "saturday"},
    };
    ASSERT_EQ(entries.size(), 30);

    QByteArray file;
    for (const WeekEntry& e : entries) {
        QString line = composeTimeField(e.start) + ",/opt/run/" + e.name + "," + e.repeat + ",";
        if (e.note) {
            const QString noteName = e.name + ".txt";
            ASSERT_TRUE(writeNoteFile(dir.filePath(noteName), e.name));
            line += "[" + noteName + "]";
        }
        file += line.toUtf8() + "\r\n";
    }
    haveSettings("0,0");
    writeCfg(file);
    fakes.clock.set(weekStart);
    start();
    CountingNoteView notes;
    EventRunner runner(
        {fakes.launcher, fakes.clipboard, fakes.sound, fakes.clock, fakes.errors, chime, paths().pgmDir},
        notes);
    whenDue = [&runner](const DueEntry& e) {
        runner.run(e);
    };
    ASSERT_EQ(lines().size(), 30);

    // The timer: the first tick two seconds after the start, then whatever interval each tick sets.
    // Seven whole days, up to the minute before the next Monday.
    tickUntil(weekStart.addMSecs(2000), QDateTime(weekStart.date().addDays(7), QTime(0, 0)));

    QMap<QString, int> runs;
    for (const QString& launch : fakes.launcher.launches)
        runs[launch.section('|', 0, 0)] += 1;
    for (const WeekEntry& e : entries) {
        EXPECT_EQ(runs.value(e.name), expectedRuns(e))
            << e.name.toStdString() << " " << e.repeat.toStdString();
        if (e.note) {
            EXPECT_EQ(notes.shown.value(dir.filePath(e.name + ".txt")), expectedRuns(e))
                << e.name.toStdString();
        }
    }
    EXPECT_EQ(runs.value("never"), 0);
    EXPECT_EQ(runs.value("the-31st"), 0);
    EXPECT_EQ(runs.value("the-8th"), 1);
    EXPECT_EQ(runs.value("half-hourly"), 336);
}
