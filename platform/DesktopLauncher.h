// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Launcher.h"

#include <QStringList>

// Launches without a shell: a program is started detached with its parameters split as a
// command line; a document or an address opens with the desktop's default application.
class DesktopLauncher : public Launcher
{
public:
    Result launch(const QString& file, const QString& parameters, const QString& folder) override;

    // Where a file name leads: the folder given, then the program search path; an
    // absolute path is taken as it is. Empty when there is no such file.
    static QString locate(const QString& file, const QString& folder);
    static bool isAddress(const QString& file);
};
