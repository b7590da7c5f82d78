// SPDX-License-Identifier: MIT
// One run of the mail program with a sender that records what it is handed.

#include "mailer/MailRun.h"

#include "mailer/Outbox.h"
#include "tests/support/Fakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

// Records each message; answers from a list of results, then "sent".
class FakeSender : public Sender
{
public:
    struct Call
    {
        MailConfig config;
        Envelope envelope;
        QByteArray message;
    };
    SendResult send(const MailConfig& config, const Envelope& envelope, const QByteArray& message) override
    {
        calls.append({config, envelope, message});
        if (results.isEmpty())
            return {true, false, {}};
        return results.takeFirst();
    }
    QList<Call> calls;
    QList<SendResult> results;
};

SendResult refused(const char* why)
{
    return {false, false, QString::fromLatin1(why)};
}

SendResult serverDown()
{
    return {false, true, QStringLiteral("Failed to connect to 127.0.0.1 port 25: Connection refused")};
}

class MailRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        store.writeString(QStringLiteral("Software/Nudgeon/Mail"), QStringLiteral("Server"),
                          QStringLiteral("smtp://mail.example.org:587"));
        store.writeString(QStringLiteral("Software/Nudgeon/Mail"), QStringLiteral("From"),
                          QStringLiteral("nudgeon@example.net"));
        writeNote(QStringLiteral("1260930.txt"), "Water the plants\r\nat ten\r\n");
    }

    void writeNote(const QString& name, const QByteArray& bytes)
    {
        QFile f(work.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    MailRunResult run(const QString& parameters)
    {
        MailRunInput input;
        input.parameterText = parameters;
        input.workDir = work.path();
        input.storeName = QStringLiteral("registry.ini");
        input.now = QDateTime(QDate(2026, 12, 6), QTime(10, 0, 30), QTimeZone(3600));
        return runMail(input, store, sender);
    }

    QStringList logLines() const
    {
        QFile f(work.filePath(QStringLiteral("mail.log")));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
        EXPECT_TRUE(lines.last().isEmpty()) << "the log's last line has no line end";
        lines.removeLast();
        // Without the time stamp.
        for (QString& l : lines)
            l = l.section(QLatin1Char(' '), 1);
        return lines;
    }

    // A message that waits in the outbox, as an earlier run left it.
    QString waitingMessage(const QString& to, const QString& subject)
    {
        MailMessage m;
        m.from = QStringLiteral("nudgeon@example.net");
        m.to = QStringList{to};
        m.subject = subject;
        m.body = subject;
        m.date = QDateTime::currentDateTime();
        m.messageId = newMessageId(QStringLiteral("example.net"));
        QString error;
        const QString path = Outbox(work.path()).store(composeMessage(m), &error);
        EXPECT_FALSE(path.isEmpty()) << error.toStdString();
        return path;
    }

    QStringList outboxNames() const
    {
        QStringList names;
        for (const QString& p : Outbox(work.path()).waiting())
            names.append(QFileInfo(p).fileName());
        return names;
    }

    QTemporaryDir work;
    MemoryStore store;
    FakeSender sender;
};

} // namespace

TEST_F(MailRunTest, SendsTheNoteToItsAddressesAndLogsIt)
{
    const MailRunResult r = run(QStringLiteral("ann@example.org; bob@example.org,1260930.txt"));
    EXPECT_EQ(r.exitCode, MailSent);
    EXPECT_TRUE(r.message.isEmpty()) << r.message.toStdString();
    ASSERT_EQ(sender.calls.size(), 1);
    const FakeSender::Call& call = sender.calls[0];
    EXPECT_EQ(call.config.server, QStringLiteral("smtp://mail.example.org:587"));
    EXPECT_EQ(call.envelope.from, QStringLiteral("nudgeon@example.net"));
    EXPECT_EQ(call.envelope.to, (QStringList{"ann@example.org", "bob@example.org"}));
    EXPECT_TRUE(call.message.contains("\r\nSubject: Nudgeon: Water the plants\r\n"));
    EXPECT_TRUE(call.message.contains("\r\n\r\nWater the plants\r\nat ten\r\n"));
    EXPECT_TRUE(call.message.startsWith("Date: Sun, 06 Dec 2026 10:00:30 +0100\r\n"));
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].startsWith(QLatin1String("sent 1260930.txt <"))) << log[0].toStdString();
    EXPECT_TRUE(log[0].endsWith(QLatin1String("@example.net> to ann@example.org, bob@example.org")));
    EXPECT_TRUE(outboxNames().isEmpty());
}

TEST_F(MailRunTest, AMessageTheServerRefusesIsKeptInTheOutbox)
{
    sender.results = {refused("RCPT failed: 550 (server: 550 5.1.1 <bad@example.org>: no such user)")};
    const MailRunResult r = run(QStringLiteral("bad@example.org,1260930.txt"));
    EXPECT_EQ(r.exitCode, MailKept);
    EXPECT_FALSE(r.message.contains(QLatin1Char('\n')));
    EXPECT_TRUE(r.message.contains(QLatin1String("550 5.1.1"))) << r.message.toStdString();
    const QStringList waiting = Outbox(work.path()).waiting();
    ASSERT_EQ(waiting.size(), 1);
    EXPECT_TRUE(r.message.contains(QStringLiteral("outbox/") + QFileInfo(waiting[0]).fileName()));
    // What is kept is the very message that was tried.
    ASSERT_EQ(sender.calls.size(), 1);
    EXPECT_EQ(Outbox::read(waiting[0]).value_or(QByteArray()), sender.calls[0].message);
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].startsWith(QLatin1String("not sent 1260930.txt"))) << log[0].toStdString();
    EXPECT_TRUE(log[0].contains(QLatin1String("550 5.1.1")));
    EXPECT_TRUE(log[0].contains(QLatin1String("kept as outbox/")));
}

TEST_F(MailRunTest, WhatWaitsInTheOutboxGoesFirstOldestFirst)
{
    const QString first = waitingMessage(QStringLiteral("first@example.org"), QStringLiteral("one"));
    const QString second = waitingMessage(QStringLiteral("second@example.org"), QStringLiteral("two"));
    const QByteArray firstBytes = Outbox::read(first).value_or(QByteArray());
    const MailRunResult r = run(QStringLiteral("ann@example.org,1260930.txt"));
    EXPECT_EQ(r.exitCode, MailSent);
    ASSERT_EQ(sender.calls.size(), 3);
    EXPECT_EQ(sender.calls[0].envelope.to, QStringList{"first@example.org"});
    EXPECT_EQ(sender.calls[0].envelope.from, QStringLiteral("nudgeon@example.net"));
    EXPECT_EQ(sender.calls[0].message, firstBytes);
    EXPECT_EQ(sender.calls[1].envelope.to, QStringList{"second@example.org"});
    EXPECT_EQ(sender.calls[2].envelope.to, QStringList{"ann@example.org"});
    EXPECT_TRUE(outboxNames().isEmpty());
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[0], QStringLiteral("sent outbox/%1 to first@example.org").arg(QFileInfo(first).fileName()));
    EXPECT_EQ(log[1],
              QStringLiteral("sent outbox/%1 to second@example.org").arg(QFileInfo(second).fileName()));
    EXPECT_TRUE(log[2].startsWith(QLatin1String("sent 1260930.txt")));
}

TEST_F(MailRunTest, AWaitingMessageRefusedAgainStaysAndTheOthersGoOn)
{
    const QString first = waitingMessage(QStringLiteral("bad@example.org"), QStringLiteral("one"));
    waitingMessage(QStringLiteral("second@example.org"), QStringLiteral("two"));
    sender.results = {refused("RCPT failed: 550")};
    const MailRunResult r = run(QStringLiteral("ann@example.org,1260930.txt"));
    EXPECT_EQ(r.exitCode, MailSent);
    EXPECT_EQ(sender.calls.size(), 3);
    EXPECT_EQ(outboxNames(), QStringList{QFileInfo(first).fileName()});
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[0], QStringLiteral("not sent outbox/%1 to bad@example.org: RCPT failed: 550; it stays")
                          .arg(QFileInfo(first).fileName()));
}

TEST_F(MailRunTest, AfterTheServerFailsTheRestWaitUntried)
{
    const QString first = waitingMessage(QStringLiteral("first@example.org"), QStringLiteral("one"));
    const QString second = waitingMessage(QStringLiteral("second@example.org"), QStringLiteral("two"));
    sender.results = {serverDown()};
    const MailRunResult r = run(QStringLiteral("ann@example.org,1260930.txt"));
    EXPECT_EQ(r.exitCode, MailKept);
    EXPECT_TRUE(r.message.contains(QLatin1String("Connection refused"))) << r.message.toStdString();
    EXPECT_EQ(sender.calls.size(), 1);
    const QStringList names = outboxNames();
    ASSERT_EQ(names.size(), 3);
    EXPECT_EQ(names[0], QFileInfo(first).fileName());
    EXPECT_EQ(names[1], QFileInfo(second).fileName());
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log[0].startsWith(QStringLiteral("not sent outbox/%1").arg(names[0])));
    EXPECT_TRUE(log[1].startsWith(QLatin1String("not sent 1260930.txt"))) << log[1].toStdString();
    EXPECT_TRUE(log[1].contains(QLatin1String("not tried")));
    EXPECT_TRUE(log[1].endsWith(QStringLiteral("kept as outbox/%1").arg(names[2])));

    // The next run, with the server back, sends all three in their order, then the new note.
    sender.calls.clear();
    EXPECT_EQ(run(QStringLiteral("ann@example.org,1260930.txt")).exitCode, MailSent);
    ASSERT_EQ(sender.calls.size(), 4);
    EXPECT_EQ(sender.calls[0].envelope.to, QStringList{"first@example.org"});
    EXPECT_EQ(sender.calls[1].envelope.to, QStringList{"second@example.org"});
    EXPECT_EQ(sender.calls[2].envelope.to, QStringList{"ann@example.org"});
    EXPECT_EQ(sender.calls[3].envelope.to, QStringList{"ann@example.org"});
    EXPECT_TRUE(outboxNames().isEmpty());
}

TEST_F(MailRunTest, AStoredMessageWithoutRecipientsStaysAndIsLogged)
{
    QString error;
    const QString broken = Outbox(work.path()).store("Subject: edited by hand\r\n\r\ntext\r\n", &error);
    ASSERT_FALSE(broken.isEmpty()) << error.toStdString();
    EXPECT_EQ(run(QStringLiteral("ann@example.org,1260930.txt")).exitCode, MailSent);
    EXPECT_EQ(sender.calls.size(), 1);
    EXPECT_EQ(outboxNames(), QStringList{QFileInfo(broken).fileName()});
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log[0].contains(QLatin1String("cannot read its sender and recipients")))
        << log[0].toStdString();
}

TEST_F(MailRunTest, UnusableParametersOrNoteSendNothing)
{
    struct Case
    {
        const char* parameters;
        const char* says;
    };
    for (const Case& c : {Case{"Ann Smith,1260930.txt", "no valid address"},
                          Case{"ann@example.org,../1260930.txt", "not a bare file name"},
                          Case{"ann@example.org", "no note file"},
                          Case{"ann@example.org,missing.txt", "cannot read the note file"}}) {
        const MailRunResult r = run(QString::fromLatin1(c.parameters));
        EXPECT_EQ(r.exitCode, MailRefused) << c.parameters;
        EXPECT_TRUE(r.message.contains(QLatin1String(c.says))) << r.message.toStdString();
        EXPECT_TRUE(logLines().last().contains(QLatin1String(c.says)));
    }
    EXPECT_TRUE(sender.calls.isEmpty());
    EXPECT_TRUE(outboxNames().isEmpty());
}

TEST_F(MailRunTest, InvalidAddressesAreLoggedAndTheValidOnesServed)
{
    const MailRunResult r =
        run(QStringLiteral("ann@example.org\r\nBcc: eve@example.org;bob@example.org,1260930.txt"));
    EXPECT_EQ(r.exitCode, MailSent);
    ASSERT_EQ(sender.calls.size(), 1);
    EXPECT_EQ(sender.calls[0].envelope.to, QStringList{"bob@example.org"});
    EXPECT_FALSE(sender.calls[0].message.contains("eve@"));
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0],
              QStringLiteral("skipped invalid address \"ann@example.org\\r\\nBcc: eve@example.org\""));
}

TEST_F(MailRunTest, WithoutSettingsNothingIsSent)
{
    store.values.clear();
    const MailRunResult r = run(QStringLiteral("ann@example.org,1260930.txt"));
    EXPECT_EQ(r.exitCode, MailNotSet);
    EXPECT_TRUE(r.message.contains(QLatin1String("Server"))) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains(QLatin1String("registry.ini")));
    EXPECT_TRUE(sender.calls.isEmpty());
    EXPECT_EQ(logLines().size(), 1);
}

TEST_F(MailRunTest, AMessageThatCanBeNeitherSentNorKeptIsReportedLost)
{
    QFile blocker(work.filePath(QStringLiteral("outbox")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    sender.results = {refused("RCPT failed: 550")};
    const MailRunResult r = run(QStringLiteral("ann@example.org,1260930.txt"));
    EXPECT_EQ(r.exitCode, MailLost);
    EXPECT_TRUE(r.message.contains(QLatin1String("cannot keep it"))) << r.message.toStdString();
    EXPECT_TRUE(logLines().last().contains(QLatin1String("LOST")));
}
