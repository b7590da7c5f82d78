#pragma once

#include "RegistryStore.h"

#include <QString>

// The store as one INI file, with key paths as groups.
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

    static QString configHome();

private:
    std::optional<QString> readBack(const QString& path) const;
    static QString normalised(const QString& key);

    QString iniPath;
};
