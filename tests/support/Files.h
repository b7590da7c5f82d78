// SPDX-License-Identifier: MIT
#pragma once
// Whole files as bytes, for tests that set up or inspect what lies on disk.

#include <QByteArray>
#include <QFile>
#include <QString>

// Writes the bytes as the whole file, or adds them at its end; false when it could not.
inline bool writeFile(const QString& path, const QByteArray& bytes, bool append = false)
{
    QFile f(path);
    return f.open(append ? QIODevice::Append : QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The file's bytes; the given stand-in when it cannot be read.
inline QByteArray readFile(const QString& path, const QByteArray& unreadable = "<unreadable>")
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : unreadable;
}
