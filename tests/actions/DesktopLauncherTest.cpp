// SPDX-License-Identifier: MIT
#include "platform/DesktopLauncher.h"

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
    // A desktop entry would run its own command line: it is refused, not opened.
    QFile entry(tools.filePath("evil.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nExec=touch pwned\n");
    entry.close();
    // A program whose interpreter is missing cannot be started.
    QFile broken(tools.filePath("broken"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("#!/nonexistent/interpreter\n");
    broken.close();
    QFile::setPermissions(broken.fileName(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    using R = Launcher::Result;
    const struct
    {
        QString file;
        QString folder;
        R result;
    } cases[] = {
        {"clock.exe", "", R::NotFound},
        {"", tools.path(), R::NotFound},
        {tools.path() + "/missing", "", R::NotFound},
        // A folder is no program.
        {tools.path(), "", R::NotFound},
        {"evil.desktop", tools.path(), R::NotAllowed},
        {"broken", tools.path(), R::NotAllowed},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DesktopLauncher().launch(c.file, "", c.folder), c.result) << c.file.toStdString();
    EXPECT_FALSE(QFile::exists(tools.filePath("pwned")));
}

TEST(DesktopLauncher, TellsAddressesFromFiles)
{
    EXPECT_TRUE(DesktopLauncher::isAddress("mailto:someone@example.org"));
    EXPECT_TRUE(DesktopLauncher::isAddress("HTTPS://www.example.org/"));
    EXPECT_TRUE(DesktopLauncher::isAddress("http://x"));
    EXPECT_FALSE(DesktopLauncher::isAddress("file:///etc/passwd"));
    EXPECT_FALSE(DesktopLauncher::isAddress("/home/ann/http:notes"));
}
