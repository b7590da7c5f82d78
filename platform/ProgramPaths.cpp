// SPDX-License-Identifier: MIT
#include "platform/ProgramPaths.h"

#include "platform/UserFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// The helper folder of an install, from the executable's folder; set by the build.
#ifndef NUDGEON_HELPER_DIR
#define NUDGEON_HELPER_DIR "../libexec/nudgeon"
#endif

QString folderPart(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString namePart(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString helperProgram(const QString& executablePath, const QString& name)
{
    const QString folder = folderPart(executablePath);
    for (const QString& candidate :
         {folder + name, QDir::cleanPath(folder + QStringLiteral(NUDGEON_HELPER_DIR "/") + name)}) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return name;
}

ProgramPaths ProgramPaths::forExecutable(const QString& executablePath)
{
    ProgramPaths paths;
    paths.programPath = executablePath;
    paths.pgmDir = folderPart(executablePath);
    if (!QFileInfo(paths.pgmDir).isWritable()) {
        QString data = qEnvironmentVariable("XDG_DATA_HOME");
        if (data.isEmpty() || !QDir::isAbsolutePath(data))
            data = QDir::homePath() + QStringLiteral("/.local/share");
        paths.pgmDir = data + QStringLiteral("/Nudgeon/");
        UserFile::makeFolder(paths.pgmDir);
    }
    return paths;
}
