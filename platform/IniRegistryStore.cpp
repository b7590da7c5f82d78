// SPDX-License-Identifier: MIT
#include "platform/IniRegistryStore.h"

#include "platform/UserFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <utility>

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

bool IniRegistryStore::usable() const
{
    const UserFile::Contents contents = UserFile::readAll(iniPath, MaxStoreBytes);
    if (contents.kind == UserFile::Kind::Missing)
        return true;
    if (!contents.isRead()) {
        if (!std::exchange(refusalTold, true))
            report(QCoreApplication::translate("IniRegistryStore",
                                               "%1\nNudgeon goes on with its default settings and does "
                                               "not save them there.")
                       .arg(contents.problem));
        return false;
    }
    if (!contents.cut) {
        QSettings ini(iniPath, QSettings::IniFormat);
        // Every section, so that damage anywhere is found.
        ini.allKeys();
        if (ini.status() != QSettings::FormatError)
            return true;
    }
    // Never over an older one: a second in the same second gets a number.
    const QString base = iniPath + QStringLiteral(".damaged-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = base;
    for (int n = 2; !QFile::rename(iniPath, aside); ++n) {
        if (!QFileInfo::exists(aside) || n > 99)
            return !contents.cut; // It cannot be renamed: it stays, and so does QSettings' refusal.
        aside = base + QLatin1Char('-') + QString::number(n);
    }
    report(setAsideMessage(aside));
    return true;
}

void IniRegistryStore::report(const QString& message) const
{
    if (tell)
        tell(message);
    else
        untold.append(message);
}

void IniRegistryStore::tellProblems(std::function<void(const QString&)> tellUser)
{
    tell = std::move(tellUser);
    const QStringList messages = std::exchange(untold, {});
    for (const QString& message : messages)
        tell(message);
}

QString IniRegistryStore::setAsideMessage(const QString& asidePath)
{
    return QCoreApplication::translate("IniRegistryStore",
                                       "The settings file could not be read. It was kept as\n%1\nand "
                                       "Nudgeon goes on with new settings.")
        .arg(asidePath);
}

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
    if (!usable())
        return false;
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.beginGroup(k);
    return !ini.allKeys().isEmpty();
}

std::optional<QString> IniRegistryStore::readString(const QString& key, const QString& name) const
{
    const QString k = normalised(key);
    if (!usable())
        return std::nullopt;
    QSettings ini(iniPath, QSettings::IniFormat);
    const QVariant v = ini.value(k + QLatin1Char('/') + name);
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

bool IniRegistryStore::writeString(const QString& key, const QString& name, const QString& value)
{
    const QString k = normalised(key);
    if (!prepareWrite())
        return false;
    {
        QSettings ini(iniPath, QSettings::IniFormat);
        ini.setValue(k + QLatin1Char('/') + name, value);
        ini.sync();
        if (ini.status() != QSettings::NoError)
            return false;
    }
    return readBack(k + QLatin1Char('/') + name) == value;
}

bool IniRegistryStore::prepareWrite() const
{
    if (!usable())
        return false;
    // A new store is private: QSettings keeps the mode of the file it replaces.
    if (!UserFile::makeFolder(QFileInfo(iniPath).path()))
        return false;
    if (UserFile::kindAt(iniPath) == UserFile::Kind::Missing)
        UserFile::write(iniPath, QByteArray());
    return true;
}

std::optional<QString> IniRegistryStore::readBack(const QString& path) const
{
    // A fresh reader sees what reached the disk: a full disk can fail a write unreported.
    if (!usable())
        return std::nullopt;
    const QSettings ini(iniPath, QSettings::IniFormat);
    const QVariant v = ini.value(path);
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

bool IniRegistryStore::deleteValue(const QString& key, const QString& name)
{
    const QString k = normalised(key);
    if (!prepareWrite())
        return false;
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
    if (!prepareWrite())
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
