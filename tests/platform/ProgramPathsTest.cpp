// SPDX-License-Identifier: MIT
#include "platform/ProgramPaths.h"

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

TEST(ProgramPaths, AHelperProgramIsFoundBesideTheProgramThenInTheInstallsHelperFolder)
{
    struct Case
    {
        const char* what;
        QStringList files; // made under the temporary folder
        QString expected;  // under the temporary folder, or a bare name
    };
    const Case cases[] = {
        {"a build folder", {"build/DARIZIZ.EXE"}, "build/DARIZIZ.EXE"},
        {"an install", {"libexec/nudgeon/DARIZIZ.EXE"}, "libexec/nudgeon/DARIZIZ.EXE"},
        {"both: the one beside wins",
         {"build/DARIZIZ.EXE", "libexec/nudgeon/DARIZIZ.EXE"},
         "build/DARIZIZ.EXE"},
        {"a folder of that name is no program", {"libexec/nudgeon/DARIZIZ.EXE/x"}, "DARIZIZ.EXE"},
        {"neither: the launcher looks for the name", {}, "DARIZIZ.EXE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir root;
        QDir().mkpath(root.filePath("bin"));
        QDir().mkpath(root.filePath("build"));
        for (const QString& f : c.files) {
            QDir().mkpath(QFileInfo(root.filePath(f)).path());
            QFile(root.filePath(f)).open(QIODevice::WriteOnly);
        }
        const QString exe =
            root.filePath(c.files.value(0).startsWith("build/") ? "build/nudgeon" : "bin/nudgeon");
        const QString expected = c.expected.contains('/') ? root.filePath(c.expected) : c.expected;
        EXPECT_EQ(helperProgram(exe, "DARIZIZ.EXE"), expected);
    }
}
