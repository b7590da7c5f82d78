// SPDX-License-Identifier: MIT
#pragma once

#include "platform/RegistryStore.h"

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

    // From now on calls tell with the message about every store file set aside or refused; the
    // ones met already are told at once.
    void tellProblems(std::function<void(const QString& message)> tell);
    // What the user is told of a store file set aside under this name.
    static QString setAsideMessage(const QString& asidePath);

    static QString configHome();

    // A larger store is set aside as damaged: no setting the program writes makes one.
    static constexpr qint64 MaxStoreBytes = 1024 * 1024;

private:
    // Sets the INI file aside when QSettings cannot parse it or it is too large. False when
    // it is not a file: QSettings would wait on a FIFO and replace a device with a file.
    bool usable() const;
    // Makes the folder and a missing file private before QSettings writes them.
    bool prepareWrite() const;
    void report(const QString& message) const;
    std::optional<QString> readBack(const QString& path) const;
    static QString normalised(const QString& key);

    QString iniPath;
    // Not told yet, and who to tell.
    mutable QStringList untold;
    mutable bool refusalTold = false;
    std::function<void(const QString&)> tell;
};
