// SPDX-License-Identifier: MIT
#pragma once
// The user's settings, the hourly chime and the start at log-on, kept with the program's
// uninstall entry in the store.

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

class Autostart;
class ErrorBox;
class RegistryStore;

class Settings
{
    Q_DECLARE_TR_FUNCTIONS(Settings)

public:
    struct Values
    {
        bool chime = false;
        bool startAtLogOn = false;
    };

    // programPath: the program as started, written into the uninstall entry.
    Settings(RegistryStore& store, Autostart& autostart, ErrorBox& errors, const QString& programPath);

    // The saved settings; nothing when the uninstall entry that holds them is missing.
    std::optional<Values> load();
    // The settings last loaded or saved; both off before.
    Values current() const { return currentValues; }
    // Writes the uninstall entry with the settings, then starts the program at log-on or no
    // longer. The first refused write is told to the user and ends the saving; false then.
    bool save(const Values& values);
    // Removes the uninstall entry with the settings; the start at log-on stays as it is.
    bool removeUninstallEntry();

    // When a note's pending snooze brings it back; nothing when none is kept.
    std::optional<QDateTime> snoozedUntil(const QString& note) const;
    // Keeps a note's snooze until the given time, or forgets it when the time is invalid.
    // False when the store refused.
    bool setSnoozedUntil(const QString& note, const QDateTime& until);

    // Whether the program was started to remove its uninstall entry: "/uninstall", in any
    // letter case, as the first argument.
    static bool uninstallRequested(const QStringList& arguments);

    // The settings as stored: "1" or "0" for the chime, then ",A" or ",0" for the log-on start.
    static QString toText(const Values& values);
    static Values fromText(const QString& text);

    // The store's group of the uninstall entry.
    static const QString uninstallKey;
    // The store's group of the pending snoozes: one value per note name, the time in UTC.
    static const QString snoozedKey;

private:
    bool set(const QString& name, const QString& value);

    RegistryStore& store;
    Autostart& autostart;
    ErrorBox& errors;
    QString programPath;
    Values currentValues;
};
