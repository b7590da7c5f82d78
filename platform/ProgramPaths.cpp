#include "ProgramPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString folderPart(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString namePart(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
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
        QDir().mkpath(paths.pgmDir);
    }
    return paths;
}
