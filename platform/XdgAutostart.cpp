// SPDX-License-Identifier: MIT
#include "platform/XdgAutostart.h"

#include "platform/IniRegistryStore.h"
#include "platform/UserFile.h"

#include <QDir>
#include <QFile>

XdgAutostart::XdgAutostart(const QString& programPath, const QString& folder)
    : programPath(programPath), folder(folder)
{}

QString XdgAutostart::defaultFolder()
{
    return IniRegistryStore::configHome() + QStringLiteral("/autostart");
}

QString XdgAutostart::entryPath() const
{
    return folder + QStringLiteral("/Nudgeon.desktop");
}

bool XdgAutostart::setEnabled(bool enabled)
{
    const QString path = entryPath();
    if (!enabled)
        return !QFile::exists(path) || QFile::remove(path);
    // The path keeps its letter case: the file system tells letter cases apart.
    const QString exec = desktopExec(programPath);
    if (exec.isEmpty() || !UserFile::makeFolder(folder))
        return false;
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Nudgeon\n"
                                         "Comment=Reminder and scheduler in the tray\n"
                                         "Exec=%1 --autostart\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(exec);
    return UserFile::write(path, entry.toUtf8());
}

QString XdgAutostart::desktopExec(const QString& programPath)
{
    // Desktop entries cannot hold line breaks or other control characters in a value.
    for (const QChar c : programPath) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return {};
    }
    static const QString reserved = QStringLiteral(" \t\"'\\><~|&;$*?#()`=");
    bool quote = false;
    for (const QChar c : programPath)
        quote = quote || reserved.contains(c);
    QString arg;
    if (quote) {
        arg = QStringLiteral("\"");
        for (const QChar c : programPath) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                arg += QLatin1Char('\\');
            arg += c;
        }
        arg += QLatin1Char('"');
    } else {
        arg = programPath;
    }
    // "%" starts a field code, and a backslash is itself escaped in any string value.
    arg.replace(QLatin1Char('%'), QStringLiteral("%%"));
    arg.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return arg;
}
