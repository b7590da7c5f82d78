// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Launcher.h"

#include <QList>
#include <QPointer>
#include <QStringList>

class QProcess;

// Launches without a shell: a program is started with its parameters split as a command line,
// in a session of its own with no input, its error output kept aside for the history; a
// document or an address opens with the desktop's default application.
class DesktopLauncher : public Launcher
{
public:
    DesktopLauncher() = default;
    // Programs still running are left running; their ends are no longer reported.
    ~DesktopLauncher() override;
    DesktopLauncher(const DesktopLauncher&) = delete;
    DesktopLauncher& operator=(const DesktopLauncher&) = delete;

    Result launch(const QString& file, const QString& parameters, const QString& folder) override;
    Attempt start(const QString& file, const QString& parameters, const QString& folder,
                  ExitHandler onExit) override;

    // Where a file name leads: the folder given, then the program search path; an
    // absolute path is taken as it is. Empty when there is no such file.
    static QString locate(const QString& file, const QString& folder);
    static bool isAddress(const QString& file);

private:
    Attempt startProgram(const QString& path, const QString& parameters, const QString& folder,
                         ExitHandler onExit);

    QList<QPointer<QProcess>> running;
};
