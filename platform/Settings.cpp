// SPDX-License-Identifier: MIT
#include "platform/Settings.h"

#include "platform/Autostart.h"
#include "platform/ErrorBox.h"
#include "platform/RegistryStore.h"

namespace {

const QString programName = QStringLiteral("Nudgeon");

QString failedToSet(const QString& name)
{
    return Settings::tr("Failed to set data for '%1'").arg(name);
}

} // namespace

const QString Settings::uninstallKey =
    QStringLiteral("Software/Microsoft/Windows/CurrentVersion/Uninstall/") + programName;

const QString Settings::snoozedKey = QStringLiteral("Software/Nudgeon/Snoozed");

Settings::Settings(RegistryStore& store, Autostart& autostart, ErrorBox& errors, const QString& programPath)
    : store(store), autostart(autostart), errors(errors), programPath(programPath)
{}

std::optional<Settings::Values> Settings::load()
{
    if (!store.keyExists(uninstallKey))
        return std::nullopt;
    currentValues = fromText(store.readString(uninstallKey, QStringLiteral("Settings")).value_or(QString()));
    return currentValues;
}

bool Settings::set(const QString& name, const QString& value)
{
    if (store.writeString(uninstallKey, name, value))
        return true;
    errors.showError(failedToSet(name));
    return false;
}

bool Settings::save(const Values& saved)
{
    // What the user chose holds for this run even when the store refuses it.
    currentValues = saved;
    if (!set(QStringLiteral("DisplayName"), programName) ||
        !set(QStringLiteral("UninstallString"), programPath + QStringLiteral(" /uninstall")) ||
        !set(QStringLiteral("Settings"), toText(currentValues)))
        return false;
    if (autostart.setEnabled(currentValues.startAtLogOn))
        return true;
    errors.showError(failedToSet(programName));
    return false;
}

std::optional<QDateTime> Settings::snoozedUntil(const QString& note) const
{
    const std::optional<QString> text = store.readString(snoozedKey, note);
    if (!text)
        return std::nullopt;
    return QDateTime::fromString(*text, Qt::ISODate).toLocalTime();
}

bool Settings::setSnoozedUntil(const QString& note, const QDateTime& until)
{
    if (!until.isValid())
        return store.deleteValue(snoozedKey, note);
    return store.writeString(snoozedKey, note, until.toUTC().toString(Qt::ISODate));
}

bool Settings::removeUninstallEntry()
{
    return store.deleteKey(uninstallKey);
}

bool Settings::uninstallRequested(const QStringList& arguments)
{
    return !arguments.isEmpty() &&
           arguments.first().compare(QLatin1String("/uninstall"), Qt::CaseInsensitive) == 0;
}

QString Settings::toText(const Values& values)
{
    return QLatin1String(values.chime ? "1" : "0") + QLatin1String(values.startAtLogOn ? ",A" : ",0");
}

Settings::Values Settings::fromText(const QString& text)
{
    return Values{text.indexOf(QLatin1Char('1')) == 0, text.indexOf(QLatin1Char('A')) == 2};
}
