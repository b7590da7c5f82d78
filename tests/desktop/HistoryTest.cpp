// SPDX-License-Identifier: MIT
#include "desktop/FiringRecorder.h"
#include "desktop/HistoryWindow.h"
#include "desktop/MakerLinks.h"
#include "desktop/TrayIcon.h"
#include "engine/HistoryLog.h"
#include "tests/support/EngineTest.h"
#include "ui_HistoryWindow.h"

#include <QTemporaryDir>

namespace {

using Outcome = Firing::Outcome;

Firing firing(Outcome outcome, const QDateTime& due, int status = 0)
{
    Firing f;
    f.due = due;
    f.ran = due.addSecs(1);
    f.line = QStringLiteral("%1,backup.sh,,").arg(due.toString("hh:mm AP"));
    f.outcome = outcome;
    f.status = status;
    return f;
}

} // namespace

TEST(FiringRecorder, TellsEachFailureAtOnceAndCountsItUntilSeen)
{
    QTemporaryDir dir;
    HistoryLog log(dir.filePath("history.log"));
    FakeNotifications notifications;
    FiringRecorder recorder(log, notifications);
    int historyAsked = 0;
    QObject::connect(&recorder, &FiringRecorder::historyRequested, [&] { ++historyAsked; });
    const QDateTime t(QDate(2026, 12, 7), QTime(9, 0));

    const struct
    {
        Firing firing;
        bool told;
    } cases[] = {
        {firing(Outcome::Started, t), false},   {firing(Outcome::Exited, t, 0), false},
        {firing(Outcome::Exited, t, 3), true},  {firing(Outcome::NotStarted, t), true},
        {firing(Outcome::MailSent, t), false},  {firing(Outcome::MailKept, t, 1), true},
        {firing(Outcome::NoteShown, t), false}, {firing(Outcome::Missed, t), false},
    };
    int told = 0;
    for (const auto& c : cases) {
        recorder.record(c.firing);
        told += c.told;
        EXPECT_EQ(notifications.shown.size(), told) << c.firing.toLine().toStdString();
    }
    EXPECT_EQ(log.recent(100).size(), 8);
    EXPECT_EQ(notifications.shown[0].title, "A program failed");
    EXPECT_TRUE(notifications.shown[0].body.contains("Exited with status 3"));
    EXPECT_EQ(notifications.shown[2].title, "A mail was not sent");
    EXPECT_EQ(recorder.tipMark(), "3 failed");
    notifications.choose(1, "history");
    EXPECT_EQ(historyAsked, 1);
    recorder.markSeen();
    EXPECT_EQ(recorder.tipMark(), QString());

    // Without a server the failure is still counted for the tray.
    notifications.running = false;
    recorder.record(firing(Outcome::NotStarted, t));
    EXPECT_EQ(recorder.tipMark(), "1 failed");
}

class HistoryTrayTest : public EngineTest
{};

TEST_F(HistoryTrayTest, TheTrayMarksUnseenFailuresAndTheHistoryWindowListsAWeekNewestFirst)
{
    haveSettings("0,0");
    writeCfg("");
    start();
    FakeLauncher launcher;
    MakerLinks links(launcher, {dir.path() + "/"});
    TrayIcon trayIcon(links);
    trayIcon.add("Nudgeon: 2hr");
    trayIcon.setFailureMark("1 failed");
    EXPECT_EQ(trayIcon.icon()->toolTip(), "1 failed - Nudgeon: 2hr");
    trayIcon.modify("Nudgeon: 1hr");
    EXPECT_EQ(trayIcon.icon()->toolTip(), "1 failed - Nudgeon: 1hr");
    trayIcon.setFailureMark({});
    EXPECT_EQ(trayIcon.icon()->toolTip(), "Nudgeon: 1hr");

    // A week: a backup each morning, failing on Wednesday and Saturday.
    HistoryLog log(dir.filePath("history.log"));
    for (int day = 0; day < 7; ++day) {
        Firing f = firing(Outcome::Exited, QDateTime(QDate(2026, 12, 7).addDays(day), QTime(9, 0)));
        f.status = day == 2 || day == 5 ? 23 : 0;
        f.errorOutput = f.status ? QStringLiteral("rsync: connection refused") : QString();
        log.append(f);
    }
    HistoryWindow window(log);
    const QTreeWidget* list = window.form()->firingList;
    ASSERT_EQ(list->topLevelItemCount(), 7);
    QStringList failed;
    for (int row = 0; row < 7; ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        EXPECT_EQ(window.firings()[row].due.date(), QDate(2026, 12, 13).addDays(-row));
        if (!item->icon(1).isNull())
            failed << item->text(1);
    }
    EXPECT_EQ(failed, QStringList({"Failed: Exited with status 23 after 0.0 s",
                                   "Failed: Exited with status 23 after 0.0 s"}));
    window.form()->firingList->setCurrentItem(list->topLevelItem(1));
    EXPECT_TRUE(
        window.form()->detailsText->toPlainText().endsWith("Error output:\nrsync: connection refused"));
}
