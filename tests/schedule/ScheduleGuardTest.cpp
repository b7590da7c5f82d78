// SPDX-License-Identifier: MIT
#include "schedule/ScheduleGuard.h"
#include "platform/UserFile.h"
#include "schedule/ScheduleFile.h"
#include "schedule/ScheduleWatcher.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

namespace {

void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray schedule = " 09:30 AM    ,,0,\r\n";

} // namespace

TEST(ScheduleGuard, SeesEveryChangeOnDiskAndNoneThatKeepsTheContent)
{
    struct Case
    {
        const char* what;
        std::function<void(const QString& path)> change;
        bool changed;
    };
    const Case cases[] = {
        {"nothing", [](const QString&) {}, false},
        {"saved again unchanged by renaming a copy over it",
         [](const QString& p) { UserFile::write(p, schedule); }, false},
        {"touched", [](const QString& p) { ::utime(QFile::encodeName(p).constData(), nullptr); }, false},
        {"a line appended in place",
         [](const QString& p) {
             QFile f(p);
             f.open(QIODevice::Append);
             f.write("10:30 PM    ,,0,\r\n");
         },
         true},
        {"a character changed, size and time put back",
         [](const QString& p) {
             struct stat before
             {};
             ::stat(QFile::encodeName(p).constData(), &before);
             QFile f(p);
             f.open(QIODevice::ReadWrite);
             f.seek(2);
             f.write("8");
             f.close();
             const struct utimbuf times
             {
                 before.st_atime, before.st_mtime
             };
             ::utime(QFile::encodeName(p).constData(), &times);
         },
         true},
        {"replaced by rename", [](const QString& p) { UserFile::write(p, " 11:30 AM    ,,0,\r\n"); }, true},
        {"deleted", [](const QString& p) { QFile::remove(p); }, true},
        {"turned into a folder",
         [](const QString& p) {
             QFile::remove(p);
             QDir().mkdir(p);
         },
         true},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("Nudgeon.cfg");
        put(path, schedule);
        ScheduleGuard guard(path);
        guard.reading();
        c.change(path);
        EXPECT_EQ(guard.changed(), c.changed) << c.what;
        // Read again, the file is known as it is now.
        guard.reading();
        EXPECT_FALSE(guard.changed()) << c.what;
    }
}

TEST(ScheduleGuard, TheProgramsOwnWriteIsNoChangeButAnEditRightAfterIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Nudgeon.cfg");
    ScheduleGuard guard(path);
    guard.reading();
    EXPECT_FALSE(guard.changed()); // missing, and still missing

    const QByteArray bytes = scheduleBytes({" 09:30 AM    ,,0,", "10:30 PM    ,,0,"});
    ASSERT_TRUE(UserFile::write(path, bytes));
    guard.wrote(bytes);
    EXPECT_FALSE(guard.changed());
    EXPECT_FALSE(guard.changed());

    // An editor writes within the same moment, keeping the size.
    QByteArray edited = bytes;
    edited[2] = '8';
    put(path, edited);
    EXPECT_TRUE(guard.changed());
}

TEST(ScheduleGuard, FollowsALinkToTheFileItNames)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("elsewhere.cfg");
    const QString link = dir.filePath("Nudgeon.cfg");
    ASSERT_TRUE(QFile::link(target, link));
    ScheduleGuard guard(link);
    guard.reading();
    // A dangling link stays one: nothing changed.
    EXPECT_FALSE(guard.changed());
    // Its file comes (the drive is mounted).
    put(target, schedule);
    EXPECT_TRUE(guard.changed());
    guard.reading();
    put(target, schedule + "10:30 PM    ,,0,\r\n");
    EXPECT_TRUE(guard.changed());
}

namespace {

// How many times the watcher told of a change within the given time.
int changesWithin(ScheduleWatcher& watcher, int ms)
{
    int told = 0;
    QEventLoop loop;
    const auto connection = QObject::connect(&watcher, &ScheduleWatcher::changedOnDisk, [&] { ++told; });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    return told;
}

} // namespace

TEST(ScheduleWatcher, FollowsEditorsThatRenameAndIgnoresTheProgramsOwnWrites)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Nudgeon.cfg");
    put(path, schedule);
    ScheduleGuard guard(path);
    guard.reading();
    ScheduleWatcher watcher(guard);
    const int wait = ScheduleWatcher::QuietMs + 600;

    // Twice, so that the watch set again on the new file is seen to work.
    for (const QByteArray& edit :
         {QByteArray(" 11:30 AM    ,,0,\r\n"), QByteArray(" 11:45 AM    ,,0,\r\n")}) {
        ASSERT_TRUE(UserFile::write(path, edit));
        EXPECT_EQ(changesWithin(watcher, wait), 1) << edit.toStdString();
        guard.reading();
    }
    // Appended in place, several writes in a row: told once.
    for (int i = 0; i < 3; ++i) {
        QFile f(path);
        f.open(QIODevice::Append);
        f.write("10:30 PM    ,,0,\r\n");
    }
    EXPECT_EQ(changesWithin(watcher, wait), 1);
    guard.reading();

    const QByteArray own = scheduleBytes({" 07:00 AM    ,,0,"});
    ASSERT_TRUE(UserFile::write(path, own));
    guard.wrote(own);
    EXPECT_EQ(changesWithin(watcher, wait), 0);
}
