// SPDX-License-Identifier: MIT
#pragma once
// A store of text values under key paths, the groups of the program's INI file.

#include <QString>
#include <optional>

class RegistryStore
{
public:
    virtual ~RegistryStore() = default;
    // Whether the key holds any value.
    virtual bool keyExists(const QString& key) const = 0;
    // The text of a value, or nothing when the value is missing.
    virtual std::optional<QString> readString(const QString& key, const QString& name) const = 0;
    // Writes a value, creating the key; false when the store refused it.
    virtual bool writeString(const QString& key, const QString& name, const QString& value) = 0;
    // Deletes one value; a missing value is no error. False when the store refused it.
    virtual bool deleteValue(const QString& key, const QString& name) = 0;
    // Deletes a key with all its values. False when the store refused it.
    virtual bool deleteKey(const QString& key) = 0;
};
