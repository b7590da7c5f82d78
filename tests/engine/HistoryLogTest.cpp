// SPDX-License-Identifier: MIT
#include "engine/HistoryLog.h"
#include "tests/support/PinnedZone.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using Outcome = Firing::Outcome;

QDateTime at(int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 12, 7), QTime(hour, minute, second));
}

Firing firing(Outcome outcome, const QString& line = QStringLiteral("09:00 AM,backup.sh,--all,"))
{
    Firing f;
    f.due = at(9, 0);
    f.ran = at(9, 0, 2);
    f.line = line;
    f.outcome = outcome;
    return f;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

} // namespace

TEST(HistoryLog, WritesEachOutcomeAsOneLineAndReadsItBack)
{
    PinnedZone zone("Europe/Berlin");
    const QString head = "2026-12-07T09:00:00+01:00\t2026-12-07T09:00:02+01:00\t";
    const QString line = "09:00 AM,backup.sh,--all,";
    struct Case
    {
        Firing firing;
        QString text;
    };
    std::vector<Case> cases;
    cases.push_back({firing(Outcome::Started), head + "started\t" + line});
    Firing notStarted = firing(Outcome::NotStarted);
    notStarted.reason = "no #! line: not a program";
    cases.push_back({notStarted, head + "not started\t" + line + "\treason=no #! line: not a program"});
    Firing exited = firing(Outcome::Exited);
    exited.status = 3;
    exited.seconds = 12.5;
    exited.errorOutput = "rsync: refused\tport 873\nC:\\ error\x01";
    cases.push_back(
        {exited, head + "exited\t" + line +
                     "\tstatus=3\tseconds=12.5\terrors=rsync: refused\\tport 873\\nC:\\\\ error\\x01"});
    Firing killed = firing(Outcome::Exited);
    killed.signal = 9;
    killed.seconds = 0.5;
    cases.push_back({killed, head + "exited\t" + line + "\tsignal=9\tseconds=0.5"});
    const QString noteLine = "09:00 AM,,[a\tnote.txt],";
    cases.push_back({firing(Outcome::NoteShown, noteLine), head + "note shown\t09:00 AM,,[a\\tnote.txt],"});
    cases.push_back({firing(Outcome::NoteClosed, noteLine), head + "note closed\t09:00 AM,,[a\\tnote.txt],"});
    Firing snoozed = firing(Outcome::NoteSnoozed, noteLine);
    snoozed.until = at(9, 5);
    cases.push_back(
        {snoozed, head + "note snoozed\t09:00 AM,,[a\\tnote.txt],\tuntil=2026-12-07T09:05:00+01:00"});
    cases.push_back({firing(Outcome::MailSent), head + "mail sent\t" + line});
    Firing kept = firing(Outcome::MailKept);
    kept.status = 1;
    kept.errorOutput = "DARIZIZ.EXE: not sent";
    cases.push_back({kept, head + "mail kept\t" + line + "\tstatus=1\terrors=DARIZIZ.EXE: not sent"});
    Firing missed = firing(Outcome::Missed, noteLine);
    missed.ran = QDateTime();
    cases.push_back({missed, "2026-12-07T09:00:00+01:00\t-\tmissed\t09:00 AM,,[a\\tnote.txt],"});
    Firing late = firing(Outcome::NotRunLate);
    late.ran = QDateTime();
    cases.push_back({late, "2026-12-07T09:00:00+01:00\t-\tnot run late\t" + line});

    QTemporaryDir dir;
    HistoryLog log(dir.filePath("state/Nudgeon/history.log"));
    QByteArray expectedFile;
    for (const Case& c : cases) {
        EXPECT_EQ(c.firing.toLine(), c.text);
        const auto back = Firing::fromLine(c.text);
        ASSERT_TRUE(back.has_value()) << c.text.toStdString();
        EXPECT_TRUE(*back == c.firing) << c.text.toStdString();
        ASSERT_TRUE(log.append(c.firing));
        expectedFile += c.text.toUtf8() + '\n';
    }
    EXPECT_EQ(fileBytes(log.path()), expectedFile);
    const QList<Firing> recent = log.recent(3);
    ASSERT_EQ(recent.size(), 3);
    EXPECT_EQ(recent[0].outcome, Outcome::NotRunLate);
    EXPECT_EQ(recent[2].outcome, Outcome::MailKept);
    EXPECT_EQ(recent[2].errorOutput, "DARIZIZ.EXE: not sent");
    EXPECT_TRUE(recent[2].failed());
    EXPECT_FALSE(recent[1].failed());

    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(log.path()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(QFile::encodeName(dir.filePath("state/Nudgeon")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(HistoryLog, RefusesLinesThatAreNoFirings)
{
    for (const char* text :
         {"", "hello", "2026-12-07T09:00:00+01:00\t-\tblew up\tline", "2026-12-07T09:00:00+01:00\t-\tstarted",
          "yesterday\t-\tstarted\tline", "2026-12-07T09:00:00+01:00\t-\tstarted\tline\\q",
          "2026-12-07T09:00:00+01:00\t-\texited\tline\tstatus=three"})
        EXPECT_FALSE(Firing::fromLine(text).has_value()) << text;
}

TEST(HistoryLog, MovesAFullFileToOneRotatedCopyAndReadsAcrossBoth)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("history.log");
    const int lineBytes = firing(Outcome::Started).toLine().toUtf8().size() + 1;
    HistoryLog log(path, 3 * lineBytes);
    for (int i = 0; i < 8; ++i) {
        Firing f = firing(Outcome::Started);
        f.due = at(9, i);
        ASSERT_TRUE(log.append(f));
    }
    // 0-2 filled the first file, 3-5 the second, which became the copy; 6 and 7 are current.
    EXPECT_EQ(fileBytes(path).count('\n'), 2);
    EXPECT_EQ(fileBytes(path + ".1").count('\n'), 3);
    EXPECT_FALSE(QFile::exists(path + ".2"));
    QList<int> minutes;
    for (const Firing& f : log.recent(10))
        minutes.append(f.due.time().minute());
    EXPECT_EQ(minutes, QList<int>({7, 6, 5, 4, 3}));
}

TEST(HistoryLog, WritesNothingThroughALinkOrIntoAFifo)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("elsewhere");
    QFile(target).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(target, dir.filePath("linked.log")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo.log")).constData(), 0600), 0);
    EXPECT_FALSE(HistoryLog(dir.filePath("linked.log")).append(firing(Outcome::Started)));
    EXPECT_FALSE(HistoryLog(dir.filePath("fifo.log")).append(firing(Outcome::Started)));
    EXPECT_EQ(fileBytes(target), QByteArray());
    EXPECT_TRUE(HistoryLog(dir.filePath("fifo.log")).recent(5).isEmpty());
}
