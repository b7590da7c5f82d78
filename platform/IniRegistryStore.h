// SPDX-License-Identifier: MIT
#pragma once

#include "RegistryStore.h"

#include <QString>
#include <QStringList>
#include <functional>

// The store as one INI file, with key paths as groups. An INI file that cannot be parsed
// (QSettings would drop what it could not read at the next write) is renamed to
// "registry.ini.damaged-YYYYMMDD-HHMMSS" and the store goes on as a new one.
class IniRegistryStore : public RegistryStore
{
public:
    // The INI file under $XDG_CONFIG_HOME (default ~/.config).
    IniRegistryStore();
    explicit IniRegistryStore(const QString& iniPath);

    bool keyExists(const QString& key) const override;
    std::optional<QString> readString(const QString& key, const QString& name) const override;
    bool writeString(const QString& key, const QString& name, const QString& value) override;
    bool deleteValue(const QString& key, const QString& name) override;
    bool deleteKey(const QString& key) override;

    // From now on calls tell with the new name of every store file set aside; the ones set aside
    // already are told at once.
    void tellSetAside(std::function<void(const QString&)> tell);
    // What the user is told of a store file set aside under this name.
    static QString setAsideMessage(const QString& asidePath);

    static QString configHome();

private:
    // Sets the INI file aside when QSettings cannot parse it.
    void setAsideIfDamaged() const;
    std::optional<QString> readBack(const QString& path) const;
    static QString normalised(const QString& key);

    QString iniPath;
    // Set aside and not told yet, and who to tell.
    mutable QStringList untold;
    std::function<void(const QString&)> tell;
};
