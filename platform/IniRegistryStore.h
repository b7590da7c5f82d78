#pragma once

#include "RegistryStore.h"

#include <QString>

// The store as one INI file, with key paths as groups, except for the log-on start key:
// each of its values is a desktop entry in the XDG autostart folder, named after the value,
// whose Exec line starts the path the value holds.
class IniRegistryStore : public RegistryStore
{
public:
    // The INI file and the autostart folder under $XDG_CONFIG_HOME (default ~/.config).
    IniRegistryStore();
    IniRegistryStore(const QString& iniPath, const QString& autostartDir);

    bool keyExists(const QString& key) const override;
    std::optional<QString> readString(const QString& key, const QString& name) const override;
    bool writeString(const QString& key, const QString& name, const QString& value) override;
    bool deleteValue(const QString& key, const QString& name) override;
    bool deleteKey(const QString& key) override;

    static QString configHome();
    // The key whose values start programs at log-on.
    static const QString runKey;

    // The Exec value of a desktop entry that starts the program at this path, quoted as
    // desktop entries require; empty when the path cannot be written there.
    static QString desktopExec(const QString& programPath);
    // The program path back from such an Exec value.
    static QString programFromExec(const QString& exec);

private:
    QString autostartFile(const QString& name) const;
    std::optional<QString> readBack(const QString& path) const;
    static QString normalised(const QString& key);

    QString iniPath;
    QString autostartDir;
};
