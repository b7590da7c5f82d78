#include "IniRegistryStore.h"

#include <QDir>
#include <QSettings>

QString IniRegistryStore::configHome()
{
    QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (home.isEmpty() || !QDir::isAbsolutePath(home))
        home = QDir::homePath() + QStringLiteral("/.config");
    return home;
}

IniRegistryStore::IniRegistryStore()
    : IniRegistryStore(configHome() + QStringLiteral("/Nudgeon/registry.ini"))
{}

IniRegistryStore::IniRegistryStore(const QString& iniPath) : iniPath(iniPath) {}

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

bool IniRegistryStore::keyExists(const QString& key) const
{
    const QString k = normalised(key);
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.beginGroup(k);
    return !ini.allKeys().isEmpty();
}

std::optional<QString> IniRegistryStore::readString(const QString& key, const QString& name) const
{
    const QString k = normalised(key);
    QSettings ini(iniPath, QSettings::IniFormat);
    const QVariant v = ini.value(k + QLatin1Char('/') + name);
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

bool IniRegistryStore::writeString(const QString& key, const QString& name, const QString& value)
{
    const QString k = normalised(key);
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
    if (k.isEmpty())
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
