// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Autostart.h"

#include <QString>

// The start at log-on as a desktop entry, "Nudgeon.desktop", in the XDG autostart folder,
// whose Exec line starts the program at the path given.
class XdgAutostart : public Autostart
{
public:
    XdgAutostart(const QString& programPath, const QString& folder = defaultFolder());

    bool setEnabled(bool enabled) override;

    // The autostart folder under $XDG_CONFIG_HOME (default ~/.config).
    static QString defaultFolder();
    // The Exec value of a desktop entry that starts the program at this path, quoted as
    // desktop entries require; empty when the path cannot be written there.
    static QString desktopExec(const QString& programPath);

private:
    QString entryPath() const;

    QString programPath;
    QString folder;
};
