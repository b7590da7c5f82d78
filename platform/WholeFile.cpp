// SPDX-License-Identifier: MIT
#include "WholeFile.h"

#include <QSaveFile>

bool writeWholeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    // Unbuffered, every write reports its own failure: a buffered one that fails only when
    // the buffer is flushed at commit would go unnoticed, and an empty file would replace
    // the old one on a full disk.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
