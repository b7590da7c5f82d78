// SPDX-License-Identifier: MIT
#pragma once
// Writing a file so that it is either wholly new or left as it was.

#include <QByteArray>
#include <QString>

// Writes the bytes to a temporary file beside path and puts it in path's place only once all
// of it reached the disk. False, with the old file untouched, when anything failed.
bool writeWholeFile(const QString& path, const QByteArray& bytes);
