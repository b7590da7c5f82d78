// SPDX-License-Identifier: MIT
#include "tests/support/EngineTest.h"

#include <QDir>

TEST_F(EngineTest, AFirstStartMakesTheClockEntryAndWritesNothing)
{
    const QString workingFolder = QDir::currentPath();
    Scheduler& f = start();
    EXPECT_EQ(firstStarts, 1);
    EXPECT_EQ(lines(), QStringList({"4:30 PM     ,clock.exe,0,"}));
    EXPECT_EQ(lines().size(), 1);
    // Not due on the day of the first start; the next day at 16:30.
    EXPECT_FALSE(f.isDueToday(lines().first()));
    EXPECT_FALSE(QFile::exists(cfgPath()));
    EXPECT_TRUE(fakes.store.values.isEmpty());
    EXPECT_FALSE(fakes.settings.current().chime);
    EXPECT_EQ(tray.calls, QStringList({"add:No Monday events..."}));
    EXPECT_EQ(fakes.sound.played, QStringList({"ringin.wav"}));
    EXPECT_TRUE(f.isTicking());
    EXPECT_EQ(f.interval(), 2000);
    // Launches name their folder: the process's own stays where it was.
    EXPECT_EQ(QDir::currentPath(), workingFolder);
    tickAt(QDateTime(QDate(2026, 12, 8), QTime(16, 30, 1)));
    EXPECT_EQ(ran.size(), 1);
}

TEST_F(EngineTest, LoadsTheScheduleAndTheSettingsOfAKnownInstall)
{
    haveSettings("1,A");
    const QByteArray file = " 09:30 AM    ,,0,\r\n02:15 PM    ,app,/246,x\r\n11:45 PM    ,bell.wav,-7,\r\n";
    writeCfg(file);
    start();
    EXPECT_EQ(firstStarts, 0);
    EXPECT_TRUE(fakes.settings.current().chime);
    EXPECT_TRUE(fakes.settings.current().startAtLogOn);
    EXPECT_EQ(lines().size(), 3);
    EXPECT_TRUE(form->isDueToday(lines()[1])); // Monday
    EXPECT_TRUE(form->isDueToday(lines()[2])); // the 7th
    EXPECT_EQ(tray.calls, QStringList({"add:Nudgeon:  30min"}));
    // The file and the store are left as they were.
    EXPECT_EQ(cfgBytes(), file);
    EXPECT_EQ(fakes.store.writes, 0);
}

TEST_F(EngineTest, AnOldFileHeaderSetsTheChimeAndIsDropped)
{
    writeCfg("Nudgeon 2\r\n1\r\n 09:30 AM    ,,0,\r\n");
    start();
    EXPECT_TRUE(fakes.settings.current().chime);
    EXPECT_EQ(lines(), QStringList({" 09:30 AM    ,,0,"}));
    EXPECT_EQ(cfgBytes(), QByteArray(" 09:30 AM    ,,0,\r\n"));
    EXPECT_EQ(fakes.store.values.value(Settings::uninstallKey + "|Settings"), "1,0");
    EXPECT_EQ(fakes.store.values.value(Settings::uninstallKey + "|DisplayName"), "Nudgeon");
    EXPECT_EQ(fakes.store.values.value(Settings::uninstallKey + "|UninstallString"),
              dir.path() + "/Tools/nudgeon /uninstall");
}

TEST_F(EngineTest, ALostSettingsEntryDoesNotCostTheFirstEntries)
{
    const QByteArray file = " 09:30 AM    ,,0,\r\n 10:30 AM    ,,0,\r\n 11:30 AM    ,,0,\r\n";
    writeCfg(file);
    start();
    EXPECT_EQ(lines().size(), 3);
    EXPECT_FALSE(fakes.settings.current().chime);
    EXPECT_EQ(cfgBytes(), file);
    // The settings entry is made again.
    EXPECT_EQ(fakes.store.values.value(Settings::uninstallKey + "|Settings"), "0,0");

    // A file of one line and no settings entry keeps its line too.
    fakes.store.values.clear();
    writeCfg(" 09:30 AM    ,,0,\r\n");
    start();
    EXPECT_EQ(lines(), QStringList({" 09:30 AM    ,,0,"}));
}

TEST_F(EngineTest, AnEmptyScheduleStartsWithTheTrayAndTheSound)
{
    haveSettings("0,0");
    writeCfg("");
    start();
    EXPECT_EQ(lines().size(), 0);
    EXPECT_EQ(tray.calls, QStringList({"add:No Monday events..."}));
    EXPECT_EQ(fakes.sound.played, QStringList({"ringin.wav"}));
    EXPECT_TRUE(fakes.errors.messages.isEmpty());
}

TEST_F(EngineTest, BadLinesAreSkippedAndOnlyThirtyEntriesLoad)
{
    haveSettings("0,0");
    QByteArray file = "25:99 PM    ,,0,\r\n13:00 PM    ,,0,\r\nno commas at all\r\n";
    for (int i = 0; i < 40; ++i)
        file += QStringLiteral("%1:%2 PM    ,,0,entry %3\r\n")
                    .arg(1 + i / 4)
                    .arg((i % 4) * 10, 2, 10, QChar('0'))
                    .arg(i)
                    .toLatin1();
    writeCfg(file);
    start();
    EXPECT_EQ(lines().size(), 30);
    EXPECT_EQ(lines().first(), "1:00 PM    ,,0,entry 0");
    EXPECT_EQ(lines().last(), "8:10 PM    ,,0,entry 29");
    fakes.clock.setTime(QTime(20, 5));
    form->refreshStatus();
    EXPECT_EQ(form->status(), "Nudgeon:  5min");
    EXPECT_EQ(cfgBytes(), file);
}

TEST_F(EngineTest, AFolderInPlaceOfTheScheduleFileLoadsAsEmpty)
{
    haveSettings("0,0");
    QDir(dir.path()).mkdir("Nudgeon.cfg");
    start();
    EXPECT_EQ(lines().size(), 0);
    EXPECT_EQ(firstStarts, 0);
    EXPECT_TRUE(QFileInfo(cfgPath()).isDir());
}

TEST_F(EngineTest, ClosingRemovesTheIconAndWritesNothing)
{
    haveSettings("0,0");
    const QByteArray file = " 09:30 AM    ,,0,\r\n";
    writeCfg(file);
    Scheduler& f = start();
    int closedSignals = 0;
    QObject::connect(&f, &Scheduler::closedDown, [&] { ++closedSignals; });
    f.closeDown();
    f.closeDown();
    EXPECT_EQ(closedSignals, 1);
    EXPECT_FALSE(tray.shown);
    EXPECT_FALSE(f.isTicking());
    EXPECT_EQ(cfgBytes(), file);
    EXPECT_EQ(fakes.store.writes, 0);
    // A tick that was already on its way finds nothing to do.
    tickAt(QTime(9, 30));
    EXPECT_EQ(tray.calls.last(), "remove");
}

TEST_F(EngineTest, AScheduleThatCannotBeWrittenIsReportedAndTheOldFileKept)
{
    haveSettings("0,0");
    writeCfg(" 09:30 AM    ,,0,\r\n");
    start();
    // A folder where the new file would have to go.
    QFile::remove(cfgPath());
    QDir(dir.path()).mkdir("Nudgeon.cfg");
    QFile inside(cfgPath() + "/keep");
    ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
    inside.close();
    // The program has seen the folder come: what it writes next cannot go there.
    ASSERT_TRUE(form->reloadIfChanged());
    EXPECT_FALSE(form->applyEdits({" 09:30 AM    ,,0,", " 10:30 AM    ,,0,"}));
    EXPECT_EQ(fakes.errors.messages,
              QStringList({cfgPath() + " is a folder, not a file. Nothing was written to it."}));
    EXPECT_TRUE(QFileInfo(cfgPath()).isDir());
    EXPECT_TRUE(QFile::exists(cfgPath() + "/keep"));
    // The schedule in memory is untouched.
    EXPECT_EQ(lines().size(), 2);
}
