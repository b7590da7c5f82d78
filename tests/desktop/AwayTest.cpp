// SPDX-License-Identifier: MIT
#include "actions/NoteWindow.h"
#include "desktop/AwaySummary.h"
#include "desktop/AwayWindow.h"
#include "desktop/NoteRecorder.h"
#include "tests/support/EngineTest.h"
#include "ui_AwayWindow.h"
#include "ui_NoteWindow.h"

namespace {

class Away : public EngineTest
{
protected:
    // Sleeps from one time to another with the schedule given, and lists what was passed over.
    AwaySummary::Listing sleep(const QString& cfg, const QDateTime& from, const QDateTime& to)
    {
        haveSettings("0,0");
        writeCfg(cfg.toUtf8());
        fakes.clock.set(from);
        start();
        QObject::connect(form.get(), &Scheduler::passedOver,
                         [this](const QList<DueEntry>& o) { passed += o; });
        tickAt(from.addSecs(2));
        tickAt(to);
        return AwaySummary::listing(passed, to);
    }

    const QDate sunday{2026, 12, 6};
    QList<DueEntry> passed;
    FakeNotifications notifications;
};

QStringList texts(const AwaySummary::Listing& listing)
{
    QStringList list;
    for (const AwaySummary::Item& item : listing.items)
        list.append(item.text);
    return list;
}

} // namespace

TEST_F(Away, TheSummaryListsWhatASleepAcrossMidnightMissedWithinADay)
{
    const QString night = " 10:45 PM    ,,0,[n.txt]\r\n 11:00 PM    ,backup.sh,0,\r\n"
                          " 11:50 PM    ,,0,[m.txt]\r\n 01:00 AM    ,,0,[t.txt]\r\n"
                          " 01:05 AM    ,run.sh,0,[r.txt]\r\n";
    QString many = " 11:30 PM    ,,0,[m.txt]\r\n";
    for (int i = 0; i < 10; ++i)
        many += QStringLiteral(" 11:%1 PM    ,p%2.sh,0,\r\n").arg(i, 2, 10, QLatin1Char('0')).arg(i);
    const QStringList yesterdays{"yesterday 10:45 PM: n.txt (not shown)",
                                 "yesterday 11:50 PM: m.txt (not shown)",
                                 "yesterday 11:00 PM: backup.sh (not run)", "01:05 AM: run.sh (not run)"};
    const struct
    {
        QString cfg;
        QDateTime from;
        QDateTime to;
        QStringList listed;
        int more;
    } cases[] = {
        // Today's notes show late and are not listed, a program beside one is; yesterday's
        // are, notes first.
        {night, QDateTime(sunday, QTime(22, 30)), QDateTime(sunday.addDays(1), QTime(1, 30, 1)), yesterdays,
         0},
        // Two nights: only the last day's.
        {night, QDateTime(sunday, QTime(22, 30)), QDateTime(sunday.addDays(2), QTime(1, 30, 1)), yesterdays,
         0},
        // Many: the note first, then the first programs; the rest counted.
        {many,
         QDateTime(sunday, QTime(22, 30)),
         QDateTime(sunday.addDays(1), QTime(1, 30, 1)),
         {"yesterday 11:30 PM: m.txt (not shown)", "yesterday 11:00 PM: p0.sh (not run)",
          "yesterday 11:01 PM: p1.sh (not run)", "yesterday 11:02 PM: p2.sh (not run)",
          "yesterday 11:03 PM: p3.sh (not run)", "yesterday 11:04 PM: p4.sh (not run)",
          "yesterday 11:05 PM: p5.sh (not run)", "yesterday 11:06 PM: p6.sh (not run)"},
         3},
        // An evening's nap: today's notes show late; the rest is listed without a day.
        {night,
         QDateTime(sunday, QTime(22, 30)),
         QDateTime(sunday, QTime(23, 55, 1)),
         {"11:00 PM: backup.sh (not run)"},
         0},
    };
    for (const auto& c : cases) {
        passed.clear();
        const AwaySummary::Listing listing = sleep(c.cfg, c.from, c.to);
        EXPECT_EQ(texts(listing), c.listed) << qPrintable(c.to.toString());
        EXPECT_EQ(listing.more, c.more) << qPrintable(c.to.toString());
    }
}

TEST_F(Away, TheHistoryHasEachMissOfTheLastDayAndEachEntrysEarlierOnesInOneLine)
{
    sleep(" 10:45 PM    ,,0,[n.txt]\r\n 11:00 PM    ,backup.sh,0,\r\n 01:00 AM    ,,0,[t.txt]\r\n",
          QDateTime(sunday, QTime(22, 30)), QDateTime(sunday.addDays(3), QTime(1, 30, 1)));
    QStringList history;
    for (const Firing& f : AwaySummary::firingsOf(passed, fakes.clock.now()))
        history.append(f.due.toString("MM-dd hh:mm ") + f.toLine().section('\t', 2, 2) + " " + f.reason);
    // Wednesday's note at 01:00 showed late; Monday's and Tuesday's did not.
    EXPECT_EQ(history, QStringList({"12-06 22:45 missed 2 times from then on",
                                    "12-06 23:00 not run late 2 times from then on",
                                    "12-07 01:00 missed 2 times from then on", "12-08 22:45 missed ",
                                    "12-08 23:00 not run late "}));
}

TEST_F(Away, EachMissedNoteOpensFromTheNotificationOrTheWindow)
{
    const AwaySummary::Listing listing =
        sleep(" 10:45 PM    ,,0,[n.txt]\r\n 11:00 PM    ,backup.sh,0,\r\n 11:50 PM    ,,0,[m.txt]\r\n",
              QDateTime(sunday, QTime(22, 30)), QDateTime(sunday.addDays(1), QTime(1, 30, 1)));
    ASSERT_EQ(listing.items.size(), 3);
    QStringList opened;
    AwaySummary summary(notifications, [&](const DueEntry& d) {
        opened.append(d.entry.noteName() + d.due.toString(" hh:mm"));
    });

    summary.tell(passed, fakes.clock.now());
    ASSERT_EQ(notifications.shown.size(), 1);
    const Notice& notice = notifications.shown[0];
    EXPECT_EQ(notice.title, "While you were away");
    EXPECT_EQ(notice.body, texts(listing).join('\n'));
    ASSERT_EQ(notice.actions.size(), 2);
    notifications.choose(1, notice.actions[1].first);
    EXPECT_EQ(opened, QStringList({"m.txt 23:50"}));
    EXPECT_EQ(summary.window(), nullptr);

    // A server without buttons, and then none: the window, whose note rows open.
    for (const bool running : {true, false}) {
        notifications.running = running;
        notifications.withActions = false;
        summary.tell(passed, fakes.clock.now());
        EXPECT_EQ(notifications.shown.size(), 1);
        ASSERT_NE(summary.window(), nullptr);
        Ui::AwayWindow* ui = summary.window()->form();
        ASSERT_EQ(ui->missedList->count(), 3);
        ui->missedList->setCurrentRow(2);
        EXPECT_FALSE(ui->openButton->isEnabled());
        ui->missedList->setCurrentRow(0);
        ui->openButton->click();
    }
    EXPECT_EQ(opened, QStringList({"m.txt 23:50", "n.txt 22:45", "n.txt 22:45"}));
    // The first summary's notification went when the next came.
    EXPECT_EQ(notifications.withdrawn, QList<quint32>({1}));
}

TEST_F(Away, EachShownNoteIsRecordedClosedOrSnoozedOnce)
{
    haveSettings("0,0");
    writeCfg(" 09:30 AM    ,,0,[a.txt]\r\n 09:30 AM    ,,0,[b.txt]\r\n");
    start();
    const QStringList entries = lines();
    QStringList history;
    NoteRecorder recorder(fakes.clock, [&](const Firing& f) {
        EXPECT_EQ(f.ran, fakes.clock.now());
        history.append(f.due.toString("hh:mm ") + f.toLine().section('\t', 2, 3) +
                       (f.until.isValid() ? f.until.toString(" hh:mm") : QString()));
    });
    NoteWindow memo(fakes.errors);
    QObject::connect(&memo, &NoteWindow::snoozeRequested, form.get(), &Scheduler::snooze);
    QObject::connect(form.get(), &Scheduler::snoozed,
                     [&](const QString& line, const QDateTime& until) { recorder.snoozed(line, until); });
    QObject::connect(&memo, &NoteWindow::noteClosed,
                     [&](const QString&, const QString& line) { recorder.closed(line); });
    const QDateTime due(fakes.clock.now().date(), QTime(9, 30));
    fakes.clock.set(due.addSecs(70));
    for (const QString& line : entries) {
        recorder.shown(DueEntry{Entry(line), due, false});
        memo.showNote("text", dir.filePath(Entry(line).noteName()), " 09:30 AM", line);
    }
    // The waiting note snoozed, then the shown one; b comes again and is closed.
    memo.snoozeNote(dir.filePath("b.txt"), entries[1], 5);
    memo.snoozeNote(dir.filePath("a.txt"), entries[0], 10);
    QCoreApplication::processEvents();
    recorder.shown(DueEntry{Entry(entries[1]), due.addSecs(360), false});
    memo.showNote("text", dir.filePath("b.txt"), " 09:36 AM", entries[1]);
    memo.form()->closeAction->trigger();
    QCoreApplication::processEvents();

    EXPECT_EQ(history, QStringList({"09:30 note shown\t" + entries[0], "09:30 note shown\t" + entries[1],
                                    "09:30 note snoozed\t" + entries[1] + " 09:36",
                                    "09:30 note snoozed\t" + entries[0] + " 09:41",
                                    "09:36 note shown\t" + entries[1], "09:36 note closed\t" + entries[1]}));
}
