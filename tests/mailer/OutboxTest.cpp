// SPDX-License-Identifier: MIT
// The outbox of unsent messages and the log of attempts.

#include "mailer/Outbox.h"

#include "platform/IniRegistryStore.h"
#include "platform/UserFile.h"
#include "schedule/NoteFiles.h"
#include "schedule/ScheduleFile.h"
#include "tests/support/Fakes.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

} // namespace

TEST(Outbox, KeepsMessagesWholeAndGivesThemBackOldestFirst)
{
    QTemporaryDir work;
    Outbox outbox(work.path());
    EXPECT_TRUE(outbox.waiting().isEmpty());

    QStringList stored;
    QList<QByteArray> messages;
    for (int i = 0; i < 12; ++i) {
        messages.append(QByteArray("Subject: message ") + QByteArray::number(i) + "\r\n\r\n" +
                        QByteArray(i * 1000, 'x'));
        QString error;
        const QString path = outbox.store(messages.last(), &error);
        ASSERT_FALSE(path.isEmpty()) << error.toStdString();
        EXPECT_TRUE(path.endsWith(QLatin1String(".eml")));
        EXPECT_EQ(QFileInfo(path).dir().absolutePath(),
                  QDir(work.filePath(QStringLiteral("outbox"))).absolutePath());
        stored.append(path);
    }
    EXPECT_EQ(outbox.waiting(), stored);
    for (int i = 0; i < stored.size(); ++i) {
        EXPECT_EQ(contents(stored[i]), messages[i]);
        EXPECT_EQ(Outbox::read(stored[i]).value_or(QByteArray()), messages[i]);
    }
    // Nothing but the messages: no temporary file is left over.
    EXPECT_EQ(QDir(outbox.folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
              12);

    EXPECT_TRUE(outbox.remove(stored[3]));
    stored.removeAt(3);
    EXPECT_EQ(outbox.waiting(), stored);
}

TEST(Outbox, LeavesOutUnfinishedAndOtherFiles)
{
    QTemporaryDir work;
    Outbox outbox(work.path());
    QString error;
    const QString kept = outbox.store("Subject: x\r\n\r\nx\r\n", &error);
    ASSERT_FALSE(kept.isEmpty()) << error.toStdString();
    writeFile(QDir(outbox.folder()).filePath(QStringLiteral(".20260101-000000-000-0000001-001.eml.part")),
              "half");
    writeFile(QDir(outbox.folder()).filePath(QStringLiteral("readme.txt")), "x");
    ASSERT_TRUE(QDir(outbox.folder()).mkdir(QStringLiteral("folder.eml")));
    EXPECT_EQ(outbox.waiting(), QStringList{kept});
}

TEST(Outbox, SaysWhyItCannotKeepAMessage)
{
    QTemporaryDir work;
    writeFile(work.filePath(QStringLiteral("outbox")), "a file where the folder should be");
    Outbox outbox(work.path());
    QString error;
    EXPECT_TRUE(outbox.store("Subject: x\r\n\r\nx\r\n", &error).isEmpty());
    EXPECT_TRUE(error.contains(QLatin1String("outbox"))) << error.toStdString();
}

TEST(MailLog, AppendsOneLineForEachCallWithTheTimeAndItsOffset)
{
    QTemporaryDir work;
    MailLog log(work.path());
    EXPECT_EQ(log.path(), work.filePath(QStringLiteral("mail.log")));
    ASSERT_TRUE(log.append(QStringLiteral("sent 1.txt"),
                           QDateTime(QDate(2026, 12, 6), QTime(10, 0, 30), QTimeZone(5 * 3600 + 1800))));
    ASSERT_TRUE(log.append(QStringLiteral("not sent: 550\r\nBcc: eve@example.org"),
                           QDateTime(QDate(2026, 12, 6), QTime(10, 1), QTimeZone(-3600))));
    ASSERT_TRUE(log.append(QStringLiteral("now")));
    const QList<QByteArray> lines = contents(log.path()).split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QByteArray("2026-12-06T10:00:30+05:30 sent 1.txt"));
    EXPECT_EQ(lines[1], QByteArray("2026-12-06T10:01:00-01:00 not sent: 550\\r\\nBcc: eve@example.org"));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d now$"))
            .match(QString::fromUtf8(lines[2]))
            .hasMatch())
        << lines[2].toStdString();
    EXPECT_TRUE(lines[3].isEmpty());
}

TEST(UserFiles, WhatTheProgramCreatesIsPrivateAndWhatItRewritesKeepsItsMode)
{
    QTemporaryDir work;
    const mode_t oldMask = ::umask(022);
    const auto modeOf = [](const QString& path) {
        struct stat st
        {};
        ::stat(QFile::encodeName(path).constData(), &st);
        return st.st_mode & 07777;
    };
    const QString data = work.filePath("share/Nudgeon");
    ASSERT_TRUE(UserFile::makeFolder(data));
    ASSERT_TRUE(writeNoteFile(data + "/1260930.txt", "private"));
    ASSERT_TRUE(writeScheduleLines(data + "/Nudgeon.cfg", {" 09:30 AM    ,,0,"}));
    IniRegistryStore store(work.filePath("config/Nudgeon/registry.ini"));
    ASSERT_TRUE(store.writeString("Software/Nudgeon", "Settings", "1,0"));
    Outbox outbox(data);
    QString error;
    const QString message = outbox.store("Subject: x\r\n\r\nx\r\n", &error);
    ASSERT_FALSE(message.isEmpty()) << error.toStdString();
    ASSERT_TRUE(MailLog(data).append("sent"));
    // Someone made this one readable to others: a save keeps that.
    writeFile(data + "/shared.txt", "old");
    ::chmod(QFile::encodeName(data + "/shared.txt").constData(), 0644);
    ASSERT_TRUE(writeNoteFile(data + "/shared.txt", "new"));
    ::umask(oldMask);

    for (const QString& folder : {data, work.filePath("config/Nudgeon"), outbox.folder()})
        EXPECT_EQ(modeOf(folder), 0700u) << folder.toStdString();
    for (const QString& file : {data + "/1260930.txt", data + "/Nudgeon.cfg",
                                work.filePath("config/Nudgeon/registry.ini"), message, data + "/mail.log"})
        EXPECT_EQ(modeOf(file), 0600u) << file.toStdString();
    EXPECT_EQ(modeOf(data + "/shared.txt"), 0644u);
    EXPECT_EQ(contents(data + "/shared.txt"), "new");
}
