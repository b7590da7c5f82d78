#include "ProgramPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ProgramPaths, SplitsNameAndFolderAtTheLastSlash)
{
    EXPECT_EQ(folderPart("/opt/Tools/App"), "/opt/Tools/");
    EXPECT_EQ(namePart("/opt/Tools/App"), "App");
    EXPECT_EQ(folderPart("notepad"), "");
    EXPECT_EQ(namePart("notepad"), "notepad");
    EXPECT_EQ(folderPart("/bin/"), "/bin/");
    EXPECT_EQ(namePart("/bin/"), "");
}

TEST(ProgramPaths, AWritableProgramFolderHoldsTheSchedule)
{
    QTemporaryDir dir;
    const QString exe = dir.filePath("Nudgeon/nudgeon");
    QDir().mkpath(dir.filePath("Nudgeon"));
    const ProgramPaths paths = ProgramPaths::forExecutable(exe);
    EXPECT_EQ(paths.programPath, exe);
    EXPECT_EQ(paths.pgmDir, dir.filePath("Nudgeon") + "/");
}

TEST(ProgramPaths, AnUnwritableProgramFolderSendsTheScheduleToTheUsersDataFolder)
{
    QTemporaryDir data;
    const QByteArray old = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    // A folder that does not exist is not writable for anyone, root included.
    const ProgramPaths paths = ProgramPaths::forExecutable("/nonexistent-nudgeon-folder/bin/nudgeon");
    qputenv("XDG_DATA_HOME", old);
    EXPECT_EQ(paths.programPath, "/nonexistent-nudgeon-folder/bin/nudgeon");
    EXPECT_EQ(paths.pgmDir, data.filePath("Nudgeon") + "/");
    EXPECT_TRUE(QFileInfo(paths.pgmDir).isDir());
}
