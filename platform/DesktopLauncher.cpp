// SPDX-License-Identifier: MIT
#include "platform/DesktopLauncher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

bool DesktopLauncher::isAddress(const QString& file)
{
    for (const char* scheme : {"mailto:", "http:", "https:"}) {
        if (file.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString DesktopLauncher::locate(const QString& file, const QString& folder)
{
    if (file.isEmpty())
        return {};
    if (QDir::isAbsolutePath(file))
        return QFileInfo(file).isFile() ? file : QString();
    const QString base = folder.isEmpty() ? QDir::currentPath() : folder;
    const QString inFolder = QDir(base).absoluteFilePath(file);
    if (QFileInfo(inFolder).isFile())
        return inFolder;
    if (!file.contains(QLatin1Char('/')))
        return QStandardPaths::findExecutable(file);
    return {};
}

Launcher::Result DesktopLauncher::launch(const QString& file, const QString& parameters,
                                         const QString& folder)
{
    if (isAddress(file))
        return QDesktopServices::openUrl(QUrl(file)) ? Result::Started : Result::NotFound;

    const QString path = locate(file, folder);
    if (path.isEmpty())
        return Result::NotFound;
    const QFileInfo info(path);
    if (info.isExecutable()) {
        const QString workDir = QFileInfo(folder).isDir() ? folder : QDir::currentPath();
        return QProcess::startDetached(path, QProcess::splitCommand(parameters), workDir)
                   ? Result::Started
                   : Result::NotAllowed;
    }
    // A desktop entry would run the command written in it: it is no document to open.
    if (info.suffix().compare(QLatin1String("desktop"), Qt::CaseInsensitive) == 0)
        return Result::NotAllowed;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? Result::Started : Result::NotFound;
}
