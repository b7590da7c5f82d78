// SPDX-License-Identifier: MIT
#include "tests/support/EngineTest.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The programs of the entries that ran.
QStringList programs(const QList<DueEntry>& ran)
{
    QStringList names;
    for (const DueEntry& e : ran)
        names.append(splitEventLine(e.entry.line()).program);
    return names;
}

void append(const QString& path, const QByteArray& bytes)
{
    ASSERT_TRUE(writeFile(path, bytes, true));
}

} // namespace

TEST_F(EngineTest, ALineAddedByHandIsReadAndUnchangedLinesKeepTheirDay)
{
    haveSettings("0,0");
    const QByteArray file = " 09:00 AM    ,a,0,\r\n 09:05 AM    ,b,7,\r\n11:00 AM    ,c,0,\r\n";
    writeCfg(file);
    start();
    tickAt(QTime(9, 0));
    tickAt(QTime(9, 5));
    ASSERT_EQ(programs(ran), QStringList({"a", "b"}));

    append(cfgPath(), "10:00 AM    ,d,0,\r\n");
    // The next tick finds the edit; the program writes nothing back.
    tickAt(QTime(9, 6));
    EXPECT_EQ(lines(), QStringList({" 09:00 AM    ,a,0,", " 09:05 AM    ,b,7,", "11:00 AM    ,c,0,",
                                    "10:00 AM    ,d,0,"}));
    EXPECT_FALSE(form->isDueToday(lines()[0]));  // ran today
    EXPECT_EQ(form->status(), "Nudgeon:  6min"); // b moved on by its repeat, to 09:12
    EXPECT_TRUE(form->isDueToday(lines()[3]));
    EXPECT_EQ(cfgBytes(), file + "10:00 AM    ,d,0,\r\n");
    EXPECT_FALSE(form->reloadIfChanged());

    tickAt(QTime(10, 0));
    // The entry added by hand runs, and the one that ran already today does not run again.
    EXPECT_EQ(programs(ran.mid(2)).count("d"), 1);
    EXPECT_FALSE(programs(ran.mid(2)).contains("a"));
}

TEST_F(EngineTest, AWriteNeverGoesOverAnEditItHasNotSeen)
{
    haveSettings("0,0");
    writeCfg("11:00 AM    ,a,0,\r\n");
    start();
    append(cfgPath(), "10:00 AM    ,hand,0,\r\n");
    const QByteArray edited = cfgBytes();
    EXPECT_FALSE(form->applyEdits({"11:00 AM    ,a,0,", "11:00 PM    ,unsaved,0,"}));
    EXPECT_EQ(cfgBytes(), edited);
    EXPECT_EQ(lines(), QStringList({"11:00 AM    ,a,0,", "10:00 AM    ,hand,0,"}));
    EXPECT_EQ(fakes.errors.messages.size(), 1);
    EXPECT_EQ(tray.tip, "Nudgeon: 1hr 0min");
    // Seen now, the next write goes through.
    EXPECT_TRUE(form->saveSchedule());
}

TEST_F(EngineTest, ALinkToAMissingFileIsAScheduleThatCannotBeReadAndStaysALink)
{
    haveSettings("0,0");
    const QString target = dir.filePath("drive/Nudgeon.cfg");
    ASSERT_TRUE(QFile::link(target, cfgPath()));
    start();
    EXPECT_EQ(firstStarts, 0);
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(tray.calls, QStringList({"add:No Monday events..."}));
    EXPECT_TRUE(QFileInfo(cfgPath()).isSymLink());

    // The drive comes, and with it the schedule.
    ASSERT_TRUE(QDir(dir.path()).mkdir("drive"));
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("10:00 AM    ,a,0,\r\n");
    f.close();
    tickAt(QTime(9, 1));
    EXPECT_EQ(lines(), QStringList({"10:00 AM    ,a,0,"}));

    // A save writes through the link.
    ASSERT_TRUE(form->applyEdits({"10:00 AM    ,a,0,", "11:00 AM    ,b,0,"}));
    EXPECT_TRUE(QFileInfo(cfgPath()).isSymLink());
    EXPECT_EQ(cfgBytes(), QByteArray("10:00 AM    ,a,0,\r\n11:00 AM    ,b,0,\r\n"));
}
