#include "DesktopLauncher.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

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
    const int result = DesktopLauncher().launch("record", parameters, tools.path() + "/", 5);
    EXPECT_GT(result, 32);
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
    EXPECT_GT(DesktopLauncher().launch(deepFolder + "record", longArgument, deepFolder, 5), 32);
    EXPECT_EQ(recorded(), QStringList({QDir(deepFolder).absolutePath(), "[" + longArgument + "]"}));
}

TEST_F(LauncherTest, FindsAProgramOnTheSearchPathAfterTheFolder)
{
    qputenv("RECORD", recordPath().toUtf8());
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", tools.path().toUtf8() + ":" + oldPath);
    const int result = DesktopLauncher().launch("record", "from-path", work.path(), 5);
    qputenv("PATH", oldPath);
    EXPECT_GT(result, 32);
    EXPECT_EQ(recorded(), QStringList({work.path(), "[from-path]"}));
}

TEST_F(LauncherTest, RefusesWhatCannotBeStarted)
{
    DesktopLauncher launcher;
    EXPECT_LE(launcher.launch("clock.exe", "", "", 5), 32);
    EXPECT_LE(launcher.launch("", "", tools.path(), 5), 32);
    EXPECT_LE(launcher.launch(tools.path() + "/missing", "", "", 5), 32);
    // A folder is no program.
    EXPECT_LE(launcher.launch(tools.path(), "", "", 5), 32);
    // A desktop entry would run its own command line: it is refused, not opened.
    QFile entry(tools.filePath("evil.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nExec=touch pwned\n");
    entry.close();
    EXPECT_LE(launcher.launch("evil.desktop", "", tools.path(), 5), 32);
}

TEST(DesktopLauncher, TellsAddressesFromFiles)
{
    EXPECT_TRUE(DesktopLauncher::isAddress("mailto:someone@example.org"));
    EXPECT_TRUE(DesktopLauncher::isAddress("HTTPS://www.example.org/"));
    EXPECT_TRUE(DesktopLauncher::isAddress("http://x"));
    EXPECT_FALSE(DesktopLauncher::isAddress("file:///etc/passwd"));
    EXPECT_FALSE(DesktopLauncher::isAddress("/home/ann/http:notes"));
}
