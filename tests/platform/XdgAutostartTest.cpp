// SPDX-License-Identifier: MIT
#include "platform/XdgAutostart.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

} // namespace

TEST(XdgAutostart, IsADesktopEntryInTheAutostartFolder)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("config/autostart");
    XdgAutostart autostart("/home/Ann/Apps/Nudgeon/nudgeon", folder);
    ASSERT_TRUE(autostart.setEnabled(true));
    const QString file = folder + "/Nudgeon.desktop";
    ASSERT_TRUE(QFile::exists(file));
    const QString entry = readAll(file);
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(entry.contains("\nType=Application\n"));
    EXPECT_TRUE(entry.contains("\nName=Nudgeon\n"));
    // The letter case of the path is kept: the file system tells cases apart.
    EXPECT_TRUE(entry.contains("\nExec=/home/Ann/Apps/Nudgeon/nudgeon --autostart\n"));

    ASSERT_TRUE(autostart.setEnabled(false));
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_TRUE(autostart.setEnabled(false));
}

TEST(XdgAutostart, ExecLinesQuoteWhatTheShellWouldSplit)
{
    struct Case
    {
        QString path;
        QString exec;
    };
    for (const Case& c : {Case{"/usr/bin/nudgeon", "/usr/bin/nudgeon"},
                          Case{"/opt/My Apps/nudgeon", "\"/opt/My Apps/nudgeon\""},
                          Case{"/opt/a$b/n`x`", "\"/opt/a\\\\$b/n\\\\`x\\\\`\""},
                          Case{"/opt/100%/nudgeon", "/opt/100%%/nudgeon"},
                          Case{"/opt/say \"hi\"/n", "\"/opt/say \\\\\"hi\\\\\"/n\""}})
        EXPECT_EQ(XdgAutostart::desktopExec(c.path), c.exec) << c.path.toStdString();
    // A line break cannot be written into a desktop entry: turning it on is refused.
    EXPECT_TRUE(XdgAutostart::desktopExec("/opt/a\nb").isEmpty());
    QTemporaryDir dir;
    XdgAutostart autostart("/opt/a\nExec=/bin/evil", dir.path());
    EXPECT_FALSE(autostart.setEnabled(true));
    EXPECT_FALSE(QFile::exists(dir.filePath("Nudgeon.desktop")));
}

TEST(XdgAutostart, AFileInTheWayOfTheFolderReportsFailure)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(XdgAutostart("/usr/bin/nudgeon", dir.filePath("autostart")).setEnabled(true));
}
