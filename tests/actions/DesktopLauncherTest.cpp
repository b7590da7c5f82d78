// SPDX-License-Identifier: MIT
#include "platform/DesktopLauncher.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

namespace {

// A program that writes its working folder and its arguments, one per line, into a file.
class LauncherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tools.isValid());
        ASSERT_TRUE(work.isValid());
        writeScript(tools.filePath("record"));
    }

    void writeScript(const QString& path)
    {
        QFile script(path);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(
            "#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"[$a]\"; done; } > \"$RECORD.tmp\"\n"
            "mv \"$RECORD.tmp\" \"$RECORD\"\n");
        script.close();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // What the started program recorded, once it has.
    QStringList recorded()
    {
        QDeadlineTimer deadline(5000);
        while (!QFile::exists(recordPath()) && !deadline.hasExpired())
            QThread::msleep(10);
        QFile f(recordPath());
        if (!f.open(QIODevice::ReadOnly))
            return {QStringLiteral("nothing recorded")};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    QString recordPath() const { return work.filePath("args.txt"); }

    QTemporaryDir tools;
    QTemporaryDir work;
};

} // namespace

TEST_F(LauncherTest, StartsAProgramInItsFolderWithItsParametersSplitButNeverThroughAShell)
{
    qputenv("RECORD", recordPath().toUtf8());
    const QString parameters = "plain \"two words\" ; touch pwned | cat $(touch pwned2) `touch pwned3` 'x y'";
    EXPECT_EQ(DesktopLauncher().launch("record", parameters, tools.path() + "/"), Launcher::Result::Started);
    EXPECT_EQ(recorded(),
              QStringList({tools.path(), "[plain]", "[two words]", "[;]", "[touch]", "[pwned]", "[|]",
                           "[cat]", "[$(touch]", "[pwned2)]", "[`touch]", "[pwned3`]", "['x]", "[y']"}));
    for (const char* name : {"pwned", "pwned2", "pwned3"}) {
        EXPECT_FALSE(QFile::exists(tools.filePath(name))) << name;
        EXPECT_FALSE(QFile::exists(work.filePath(name))) << name;
    }
}

TEST_F(LauncherTest, LongTextsArriveWhole)
{
    qputenv("RECORD", recordPath().toUtf8());
    const QString longArgument(200, 'z');
    const QString deepFolder = tools.path() + "/" + QString(90, 'd') + "/";
    ASSERT_TRUE(QDir().mkpath(deepFolder));
    writeScript(deepFolder + "record");
    EXPECT_EQ(DesktopLauncher().launch(deepFolder + "record", longArgument, deepFolder),
              Launcher::Result::Started);
    EXPECT_EQ(recorded(), QStringList({QDir(deepFolder).absolutePath(), "[" + longArgument + "]"}));
}

TEST_F(LauncherTest, FindsAProgramOnTheSearchPathAfterTheFolder)
{
    qputenv("RECORD", recordPath().toUtf8());
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", tools.path().toUtf8() + ":" + oldPath);
    const Launcher::Result result = DesktopLauncher().launch("record", "from-path", work.path());
    qputenv("PATH", oldPath);
    EXPECT_EQ(result, Launcher::Result::Started);
    EXPECT_EQ(recorded(), QStringList({work.path(), "[from-path]"}));
}

TEST_F(LauncherTest, RefusesWhatCannotBeStartedAndSaysWhy)
{
    const auto make = [this](const char* name, const QByteArray& text, bool executable) {
        QFile f(tools.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(text);
        f.close();
        QFile::setPermissions(f.fileName(), QFile::ReadOwner | QFile::WriteOwner |
                                                (executable ? QFile::ExeOwner : QFile::Permissions()));
    };
    // A desktop entry would run its own command line: it is refused, not opened.
    make("evil.desktop", "[Desktop Entry]\nType=Application\nExec=touch pwned\n", false);
    make("broken", "#!/nonexistent/interpreter\n", true);
    make("no-interpreter-line", "touch pwned\n", true);
    make("not-executable", "#!/bin/sh\ntouch pwned\n", false);
    ASSERT_TRUE(QDir(tools.path()).mkdir("folder"));

    using R = Launcher::Result;
    const struct
    {
        QString file;
        QString folder;
        R result;
        QString reason;
    } cases[] = {
        {"clock.exe", "", R::NotFound, "\"clock.exe\" is not there"},
        {"", tools.path(), R::NotFound, "names no program"},
        {tools.path() + "/missing", "", R::NotFound, "is not there"},
        {tools.path(), "", R::NotFound, "is a folder"},
        {"folder", tools.path(), R::NotFound, tools.path() + "/folder\" is a folder"},
        {"evil.desktop", tools.path(), R::NotAllowed, "is a desktop entry"},
        {"broken", tools.path(), R::NotAllowed, "No such file"},
        {"no-interpreter-line", tools.path(), R::NotAllowed, "a script needs a first line starting with #!"},
        {"not-executable", tools.path(), R::NotAllowed, "lacks the execute permission"},
    };
    for (const auto& c : cases) {
        bool ended = false;
        const Launcher::Attempt attempt =
            DesktopLauncher().start(c.file, "", c.folder, [&](const Launcher::Exit&) { ended = true; });
        EXPECT_EQ(attempt.result, c.result) << c.file.toStdString();
        EXPECT_TRUE(attempt.reason.contains(c.reason)) << attempt.reason.toStdString();
        EXPECT_FALSE(ended);
    }
    EXPECT_FALSE(QFile::exists(tools.filePath("pwned")));
}

// Runs the event loop until done says so, for up to ms milliseconds.
static bool waitFor(const std::function<bool()>& done, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return done();
}

TEST_F(LauncherTest, ReportsHowAStartedProgramEndedWithTheLastLinesOfItsErrors)
{
    const QString script = tools.filePath("fails");
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nread line && echo \"read $line\" >&2\n"
            "i=0; while [ $i -lt 300 ]; do echo \"line $i of the error output\" >&2; i=$((i+1)); done\n"
            "exit 3\n");
    f.close();
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    std::optional<Launcher::Exit> exit;
    DesktopLauncher launcher;
    EXPECT_EQ(launcher.start(script, "", tools.path(), [&](const Launcher::Exit& e) { exit = e; }).result,
              Launcher::Result::Started);
    ASSERT_TRUE(waitFor([&] { return exit.has_value(); }));
    EXPECT_EQ(exit->status, 3);
    EXPECT_EQ(exit->signal, 0);
    EXPECT_GE(exit->seconds, 0);
    // Its input is empty, not this program's; only the last whole lines are kept.
    EXPECT_FALSE(exit->errorOutput.contains("read "));
    EXPECT_TRUE(exit->errorOutput.startsWith("line ")) << exit->errorOutput.toStdString();
    EXPECT_TRUE(exit->errorOutput.endsWith("line 299 of the error output"));
    EXPECT_LE(exit->errorOutput.size(), 2048);
}

TEST_F(LauncherTest, AProgramOutlivesTheLauncherInASessionOfItsOwn)
{
    qputenv("RECORD", recordPath().toUtf8());
    const QString script = tools.filePath("outlive");
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nsleep 0.3\nread -r stat < /proc/$$/stat; set -- $stat\n"
            "echo \"$1 $6\" > \"$RECORD.tmp\"; mv \"$RECORD.tmp\" \"$RECORD\"\n");
    f.close();
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    bool reported = false;
    {
        DesktopLauncher launcher;
        ASSERT_EQ(launcher.start(script, "", "", [&](const Launcher::Exit&) { reported = true; }).result,
                  Launcher::Result::Started);
    }
    const QStringList pidAndSession = recorded().value(0).split(' ');
    ASSERT_EQ(pidAndSession.size(), 2) << pidAndSession.join(' ').toStdString();
    // The program leads a session of its own.
    EXPECT_EQ(pidAndSession[0], pidAndSession[1]);
    EXPECT_NE(pidAndSession[1].toLongLong(), static_cast<long long>(::getsid(0)));
    // Its end is no longer reported to a launcher that is gone.
    waitFor([] { return false; }, 300);
    EXPECT_FALSE(reported);
}

TEST(DesktopLauncher, TellsAddressesFromFiles)
{
    EXPECT_TRUE(DesktopLauncher::isAddress("mailto:someone@example.org"));
    EXPECT_TRUE(DesktopLauncher::isAddress("HTTPS://www.example.org/"));
    EXPECT_TRUE(DesktopLauncher::isAddress("http://x"));
    EXPECT_FALSE(DesktopLauncher::isAddress("file:///etc/passwd"));
    EXPECT_FALSE(DesktopLauncher::isAddress("/home/ann/http:notes"));
}
