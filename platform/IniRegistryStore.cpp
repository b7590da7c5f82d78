#include "IniRegistryStore.h"

#include "WholeFile.h"

#include <QDir>
#include <QFile>
#include <QSettings>

const QString IniRegistryStore::runKey = QStringLiteral("Software/Microsoft/Windows/CurrentVersion/Run");

QString IniRegistryStore::configHome()
{
    QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (home.isEmpty() || !QDir::isAbsolutePath(home))
        home = QDir::homePath() + QStringLiteral("/.config");
    return home;
}

IniRegistryStore::IniRegistryStore()
    : IniRegistryStore(configHome() + QStringLiteral("/Nudgeon/registry.ini"),
                       configHome() + QStringLiteral("/autostart"))
{}

IniRegistryStore::IniRegistryStore(const QString& iniPath, const QString& autostartDir)
    : iniPath(iniPath), autostartDir(autostartDir)
{}

QString IniRegistryStore::normalised(const QString& key)
{
    QString k = key;
    k.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (k.startsWith(QLatin1Char('/')))
        k.remove(0, 1);
    while (k.endsWith(QLatin1Char('/')))
        k.chop(1);
    return k;
}

QString IniRegistryStore::autostartFile(const QString& name) const
{
    return autostartDir + QLatin1Char('/') + name + QStringLiteral(".desktop");
}

bool IniRegistryStore::keyExists(const QString& key) const
{
    const QString k = normalised(key);
    if (k == runKey)
        return true;
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.beginGroup(k);
    return !ini.allKeys().isEmpty();
}

std::optional<QString> IniRegistryStore::readString(const QString& key, const QString& name) const
{
    const QString k = normalised(key);
    if (k == runKey) {
        QFile file(autostartFile(name));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return std::nullopt;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.startsWith(QLatin1String("Exec=")))
                return programFromExec(line.mid(5));
        }
        return std::nullopt;
    }
    QSettings ini(iniPath, QSettings::IniFormat);
    const QVariant v = ini.value(k + QLatin1Char('/') + name);
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

bool IniRegistryStore::writeString(const QString& key, const QString& name, const QString& value)
{
    const QString k = normalised(key);
    if (k == runKey) {
        const QString exec = desktopExec(value);
        if (exec.isEmpty() || !QDir().mkpath(autostartDir))
            return false;
        const QString entry = QStringLiteral("[Desktop Entry]\n"
                                             "Type=Application\n"
                                             "Name=%1\n"
                                             "Comment=Reminder and scheduler in the tray\n"
                                             "Exec=%2\n"
                                             "Terminal=false\n"
                                             "X-GNOME-Autostart-enabled=true\n")
                                  .arg(name, exec);
        return writeWholeFile(autostartFile(name), entry.toUtf8());
    }
    {
        QSettings ini(iniPath, QSettings::IniFormat);
        ini.setValue(k + QLatin1Char('/') + name, value);
        ini.sync();
        if (ini.status() != QSettings::NoError)
            return false;
    }
    return readBack(k + QLatin1Char('/') + name) == value;
}

std::optional<QString> IniRegistryStore::readBack(const QString& path) const
{
    // A fresh reader sees what reached the disk: a full disk can fail a write unreported.
    const QSettings ini(iniPath, QSettings::IniFormat);
    const QVariant v = ini.value(path);
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

bool IniRegistryStore::deleteValue(const QString& key, const QString& name)
{
    const QString k = normalised(key);
    if (k == runKey) {
        const QString path = autostartFile(name);
        return !QFile::exists(path) || QFile::remove(path);
    }
    {
        QSettings ini(iniPath, QSettings::IniFormat);
        ini.remove(k + QLatin1Char('/') + name);
        ini.sync();
        if (ini.status() != QSettings::NoError)
            return false;
    }
    return !readBack(k + QLatin1Char('/') + name);
}

bool IniRegistryStore::deleteKey(const QString& key)
{
    const QString k = normalised(key);
    if (k.isEmpty() || k == runKey)
        return false;
    {
        QSettings ini(iniPath, QSettings::IniFormat);
        ini.remove(k);
        ini.sync();
        if (ini.status() != QSettings::NoError)
            return false;
    }
    return !keyExists(k);
}

QString IniRegistryStore::desktopExec(const QString& programPath)
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

QString IniRegistryStore::programFromExec(const QString& exec)
{
    QString s;
    for (int i = 0; i < exec.size(); ++i) {
        if (exec[i] == QLatin1Char('\\') && i + 1 < exec.size() && exec[i + 1] == QLatin1Char('\\'))
            ++i;
        s += exec[i];
    }
    s.replace(QStringLiteral("%%"), QStringLiteral("%"));
    if (!s.startsWith(QLatin1Char('"')))
        return s.section(QLatin1Char(' '), 0, 0);
    QString path;
    for (int i = 1; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('\\') && i + 1 < s.size()) {
            path += s[++i];
        } else if (s[i] == QLatin1Char('"')) {
            break;
        } else {
            path += s[i];
        }
    }
    return path;
}
